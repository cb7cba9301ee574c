#pragma once
// Case rules of the language: keywords and names compare in ASCII upper case.

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string ToUpper(std::string_view text);

// True when `token`, upper-cased, equals `upperWord` (which is already upper case).
bool EqualsUpper(std::string_view token, std::string_view upperWord);

// A letter first (after upper-casing), then letters, digits or underscores. Empty is invalid.
bool IsValidName(std::string_view name);

// An upper-case copy that lives on the stack for the short names of real programs.
class UpperCopy {
public:
    explicit UpperCopy(std::string_view text);
    UpperCopy(const UpperCopy&) = delete;
    UpperCopy& operator=(const UpperCopy&) = delete;
    std::string_view view() const { return view_; }
    operator std::string_view() const { return view_; }

private:
    static constexpr size_t kInline = 48;
    char inline_[kInline];
    std::string heap_;
    std::string_view view_;
};

}  // namespace tw
