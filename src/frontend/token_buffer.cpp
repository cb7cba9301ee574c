#include "frontend/token_buffer.h"

#include <cassert>
#include <utility>

namespace tw {

const std::string& EmptyToken() {
    static const std::string empty;
    return empty;
}

const TokenRow& TokenBuffer::EmptyRow() {
    static const TokenRow row{};
    return row;
}

void TokenBuffer::Set(int r, int c, std::string token, int sourceLine) {
    assert(r >= 0 && r < kTokenRows && c >= 0 && c < kTokenColumns);
    if (r >= static_cast<int>(rows_.size())) {
        rows_.resize(r + 1);
        sourceLines_.resize(r + 1, -1);
    }
    rows_[r][c] = std::move(token);
    sourceLines_[r] = sourceLine;
}

void TokenBuffer::Clear() {
    rows_.clear();
    sourceLines_.clear();
}

int TokenBuffer::SourceLine(int r) const {
    if (r < 0 || r >= static_cast<int>(sourceLines_.size())) return -1;
    return sourceLines_[r];
}

}  // namespace tw
