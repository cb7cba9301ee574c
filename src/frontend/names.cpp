#include "frontend/names.h"

namespace tw {

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

bool EqualsUpper(std::string_view token, std::string_view upperWord) {
    if (token.size() != upperWord.size()) return false;
    for (size_t i = 0; i < token.size(); ++i) {
        if (UpperAscii(token[i]) != upperWord[i]) return false;
    }
    return true;
}

bool IsValidName(std::string_view name) {
    if (name.empty()) return false;
    char first = UpperAscii(name[0]);
    if (first < 'A' || first > 'Z') return false;
    for (char c : name) {
        char u = UpperAscii(c);
        bool ok = (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
        if (!ok) return false;
    }
    return true;
}

UpperCopy::UpperCopy(std::string_view text) {
    char* out;
    if (text.size() <= kInline) {
        out = inline_;
    } else {
        heap_.resize(text.size());
        out = heap_.data();
    }
    for (size_t i = 0; i < text.size(); ++i) out[i] = UpperAscii(text[i]);
    view_ = std::string_view(out, text.size());
}

}  // namespace tw
