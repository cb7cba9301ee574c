#include "interpreter/errors.h"

#include <cassert>

#include "interpreter/results.h"

namespace tw {

std::string ErrorText(ErrorId id, std::initializer_list<ErrorArg> args) {
    const std::string_view text = Entry(id).text;
    // Each failing operation passes exactly the values its text asks for.
    assert(static_cast<int>(args.size()) == PlaceholderCount(text));
    std::string out;
    out.reserve(text.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != args.end()) {
            out += next->text;
            ++next;
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

void TResult::Fail(CheckedError<0> error, int32_t failToken) {
    FailWith(error.id, failToken);
}

void TResult::Fail(CheckedError<1> error, int32_t failToken, const ErrorArg& value) {
    ok = false;
    code = Entry(error.id).code;
    token = failToken;
    message = ErrorText(error.id, {value});
}

void TResult::FailWith(ErrorId id, int32_t failToken) {
    ok = false;
    code = Entry(id).code;
    token = failToken;
    message = ErrorText(id);
}

}  // namespace tw
