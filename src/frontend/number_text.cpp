#include "frontend/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tw {

bool ParseWholeNumber(std::string_view text, int32_t& out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > int64_t{1} << 32) value = int64_t{1} << 32;  // saturate; out of range below
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool ParseDecimal(std::string_view text, double& out) {
    // Grammar: [+-] (digits [. digits] | . digits) [(e|E) [+-] digits]; a lone "." has no
    // digits and is no number.
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t mantissaStart = i;
    int intDigits = 0, fracDigits = 0;
    int leadingZeros = 0;  // zeros before the first significant digit
    bool seenNonZero = false;
    int firstSignificant = 0;  // decimal position of the first significant digit
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (!seenNonZero && text[i] != '0') seenNonZero = true, firstSignificant = intDigits;
        if (!seenNonZero) ++leadingZeros;
        ++intDigits, ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (!seenNonZero && text[i] != '0')
                seenNonZero = true, firstSignificant = -fracDigits - 1;
            ++fracDigits, ++i;
        }
    }
    if (intDigits + fracDigits == 0) return false;
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        size_t expStart = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (i == expStart) return false;
        if (expNegative) exponent = -exponent;
    }
    if (i != text.size()) return false;
    if (!seenNonZero) {
        out = negative ? -0.0 : 0.0;
        return true;
    }
    // Decimal exponent of the first significant digit decides overflow against underflow.
    int64_t magnitude =
        (firstSignificant >= 0 ? intDigits - leadingZeros - 1 : firstSignificant) + exponent;
    if (magnitude > 309) return false;
    if (magnitude < -330) {
        out = negative ? -0.0 : 0.0;
        return true;
    }
    double value = 0.0;
    const char* first = text.data() + mantissaStart;
    auto res = std::from_chars(first, text.data() + text.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) return false;
        value = 0.0;
    } else if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
        return false;
    }
    if (!std::isfinite(value)) return false;
    out = negative ? -value : value;
    return true;
}

}  // namespace tw
