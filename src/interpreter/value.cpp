#include "interpreter/value.h"

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
    if (shown >= -2147483648.0 && shown <= 2147483647.0 &&
        shown == static_cast<double>(static_cast<int32_t>(shown))) {
        return TextClass::Integer;  // the text is a whole number
    }
    if (std::fabs(shown) < 1e38) return TextClass::Real;  // well inside the 6-byte real
    double fitted;
    return ToReal48(shown, fitted) ? TextClass::Real : TextClass::String;
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

namespace {

constexpr double kPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// 10^n for n from -8 to 37, as near as a double holds them (exactly from 10^0 to 10^22).
constexpr double kPowersOfTenFrom8[46] = {
    1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22, 1e23,
    1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37};

// |v| * 10^k for -22 <= k <= 22, rounded once: the power is exact, so the product (or the
// quotient) is the correctly rounded value of the exact one.
double Scaled(double magnitude, int k) {
    return k >= 0 ? magnitude * kPowersOfTen[k] : magnitude / kPowersOfTen[-k];
}

}  // namespace

// The 15-digit text of v is m * 10^-k with m the 15-digit integer nearest to |v| * 10^k (a
// tie to even, as the text is written). The text reads back as the double nearest to
// m * 10^-k, which is m / 10^k (or m * 10^-k) rounded once, as m and the power are exact
// doubles.
double RoundTrip15(double v) {
    const double magnitude = std::fabs(v);
    // (Casts rather than trunc and floor, which are calls on a plain x86-64 build.)
    if (magnitude < 1e15 && v == static_cast<double>(static_cast<int64_t>(v))) return v;
    // A whole number of sixteenths below 1E10 has at most 14 significant digits (four after
    // the point): its text is exact.
    if (magnitude < 1e10 && v * 16.0 == static_cast<double>(static_cast<int64_t>(v * 16.0))) {
        return v;
    }
    if (!(magnitude >= 1e-7 && magnitude < 1e36)) return RoundTrip15Text(v);
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    // The decimal exponent: floor(binaryExponent * log10 2) is it or one too small, which one
    // comparison settles. (The values' signs and sizes come at random: the way has no branch
    // that depends on them, but for the tie and for the rare magnitudes left to the text.)
    int decimal = (binaryExponent * 78913) >> 18;
    decimal += magnitude >= kPowersOfTenFrom8[decimal + 1 + 8];
    const int k = 14 - decimal;
    if (k > 22 || k < -22) return RoundTrip15Text(v);
    const double scaled = Scaled(magnitude, k);
    // (A magnitude just below a negative power of ten, whose double is not exact, lands here.)
    if (scaled < 1e14 || scaled >= 1e15) return RoundTrip15Text(v);
    const double whole = static_cast<double>(static_cast<int64_t>(scaled));
    // Where the exact scaled value lies against whole + 1/2. `above` is exact (the scaled
    // value's fraction, less a half, is a multiple of its last place), and the scaling's
    // rounding error is at most half a last place: unless `above` is 0, its sign is the
    // answer. When it is 0 the error decides, which a fused multiply-add gives exactly; an
    // exact half (a tie) is left to the text.
    const double above = scaled - whole - 0.5;
    // The nearest whole number without a branch on `above` (its sign is as good as random):
    // scaled + 1/2 is exact, the last place of a number below 1E15 being 1/8 or less.
    double digits = static_cast<double>(static_cast<int64_t>(scaled + 0.5));
    if (above == 0) [[unlikely]] {
        const double error = k >= 0 ? std::fma(magnitude, kPowersOfTen[k], -scaled)
                                    : std::fma(-scaled, kPowersOfTen[-k], magnitude);
        if (error == 0) return RoundTrip15Text(v);
        digits = error > 0 ? whole + 1 : whole;
    }
    const double out = k >= 0 ? digits / kPowersOfTen[k] : digits * kPowersOfTen[-k];
    return std::copysign(out, v);
}

}  // namespace tw
