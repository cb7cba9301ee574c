#include "interpreter/value.h"

#include "interpreter/round_trip.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tw {

std::string IntText(int64_t v) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

void AppendRealText(std::string& out, double v) {
    if (v == 0.0 || !std::isfinite(v)) {
        // Non-finite reals never reach a text form: arithmetic that makes them fails first.
        out += v == 0.0 ? "0" : (std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
        return;
    }
    // Whole numbers below 1E15 print as their digits.
    if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(v));
        out.append(buf, res.ptr);
        return;
    }
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    std::string_view sci(buf, res.ptr - buf);  // [-]d.ddddddddddddddde[+-]xx
    bool negative = sci[0] == '-';
    if (negative) sci.remove_prefix(1);
    char digits[15];
    int count = 0;
    size_t pos = 0;
    for (; pos < sci.size() && sci[pos] != 'e'; ++pos) {
        if (sci[pos] != '.') digits[count++] = sci[pos];
    }
    int exponent = 0;
    std::from_chars(sci.data() + pos + (sci[pos + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    while (count > 1 && digits[count - 1] == '0') --count;

    if (negative) out.push_back('-');
    if (exponent >= -4 && exponent <= 14) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i) out.push_back(i < count ? digits[i] : '0');
            if (count > exponent + 1) {
                out.push_back('.');
                out.append(digits + exponent + 1, count - exponent - 1);
            }
        } else {
            out += "0.";
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out.append(digits, count);
        }
        return;
    }
    out.push_back(digits[0]);
    if (count > 1) {
        out.push_back('.');
        out.append(digits + 1, count - 1);
    }
    out.push_back('E');
    char ebuf[8];
    auto eres = std::to_chars(ebuf, ebuf + sizeof ebuf, exponent);
    out.append(ebuf, eres.ptr);
}

std::string RealText(double v) {
    std::string out;
    AppendRealText(out, v);
    return out;
}

void AppendText(std::string& out, const Value& v) {
    switch (v.type) {
        case ValueType::Int: {
            char buf[16];
            auto res = std::to_chars(buf, buf + sizeof buf, v.i);
            out.append(buf, res.ptr);
            break;
        }
        case ValueType::Real:
            AppendRealText(out, v.r);
            break;
        case ValueType::Str:
            out += v.s;
            break;
    }
}

std::string TextOf(const Value& v) {
    if (v.type == ValueType::Str) return v.s;
    std::string out;
    AppendText(out, v);
    return out;
}

bool ToReal48(double v, double& out) {
    // Works on the bits of the double: its 52-bit fraction is rounded (half to even) to the 39
    // bits the 6-byte real keeps, and its exponent must fit the 6-byte real's exponent byte.
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const uint64_t sign = bits & (uint64_t{1} << 63);
    int64_t exponent = static_cast<int64_t>((bits >> 52) & 0x7FF);
    uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (exponent == 0x7FF) return false;  // infinity or not a number
    if (exponent == 0) {                  // zero, or far below the smallest 6-byte real
        out = sign ? -0.0 : 0.0;
        return true;
    }
    const uint64_t dropped = fraction & 0x1FFF;
    fraction >>= 13;
    if (dropped > 0x1000 || (dropped == 0x1000 && (fraction & 1))) ++fraction;
    if (fraction == (uint64_t{1} << 39)) {
        fraction = 0;
        ++exponent;
    }
    // The exponent byte of the 6-byte real is the unbiased exponent + 129, in 1..255.
    const int64_t byte = exponent - 1023 + 129;
    if (byte > 255) return false;
    if (byte < 1) {
        out = sign ? -0.0 : 0.0;
        return true;
    }
    bits = sign | (static_cast<uint64_t>(exponent) << 52) | (fraction << 13);
    std::memcpy(&out, &bits, sizeof out);
    return true;
}

TextClass ClassifyNumberText(std::string_view text) {
    if (text.empty()) return TextClass::String;
    char c = text[0];
    // Only texts that start like a number can be one.
    if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')) return TextClass::String;
    int32_t whole;
    if (ParseWholeNumber(text, whole)) return TextClass::Integer;
    double real, fitted;
    if (ParseDecimal(text, real) && ToReal48(real, fitted)) return TextClass::Real;
    return TextClass::String;
}

TextClass ClassifyShownReal(double shown) {
    return ClassifyShownRealInline(shown);
}

TextClass ClassifyRealText(double v) {
    return ClassifyShownReal(RoundTrip15(v));
}

bool RoundToInt32(double v, int32_t& out) {
    // (Also false for a NaN.)
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
    // Adding and taking away 2^52 leaves v rounded to a whole number in the default rounding
    // mode, halves to even, as nearbyint would (a call on a plain x86-64 build).
    constexpr double kShift = 4503599627370496.0;
    const double r = v >= 0.0 ? (v + kShift) - kShift : (v - kShift) + kShift;
    if (r < -2147483648.0 || r > 2147483647.0) return false;
    out = static_cast<int32_t>(r);
    return true;
}

bool ToInt32(const Value& v, int32_t& out) {
    switch (v.type) {
        case ValueType::Int:
            out = v.i;
            return true;
        case ValueType::Real:
            return RoundToInt32(v.r, out);
        case ValueType::Str: {
            if (ParseWholeNumber(v.s, out)) return true;
            double d;
            return ParseDecimal(v.s, d) && RoundToInt32(d, out);
        }
    }
    return false;
}

bool ToDouble(const Value& v, double& out) {
    switch (v.type) {
        case ValueType::Int:
            out = v.i;
            return true;
        case ValueType::Real:
            out = v.r;
            return true;
        case ValueType::Str:
            return ParseDecimal(v.s, out);
    }
    return false;
}

bool AddToValue(const Value& v, int64_t amount, Value& out) {
    switch (v.type) {
        case ValueType::Int: {
            int64_t sum = int64_t{v.i} + amount;
            if (sum >= INT32_MIN && sum <= INT32_MAX) {
                out = Value::Int(static_cast<int32_t>(sum));
            } else {
                out = Value::Real(static_cast<double>(sum));
            }
            return true;
        }
        case ValueType::Real:
            out = Value::Real(v.r + static_cast<double>(amount));
            return true;
        case ValueType::Str: {
            double d;
            if (!ParseDecimal(v.s, d)) return false;
            out = Value::Real(d + static_cast<double>(amount));
            return true;
        }
    }
    return false;
}

double RoundTrip15Text(double v) {
    double out = v;
    ParseDecimal(RealText(v), out);
    return out;
}

double RoundTrip15(double v) {
    return RoundTrip15Inline(v);
}

}  // namespace tw
