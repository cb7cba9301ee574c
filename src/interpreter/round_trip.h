#pragma once
// The 15-digit round trip of a real (RoundTrip15) and the class of its text
// (ClassifyShownReal), inline for the evaluator's quickest ways.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "interpreter/value.h"

namespace tw {

namespace round_trip {

inline constexpr double kPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// 10^n for n from -8 to 37, as near as a double holds them (exactly from 10^0 to 10^22).
inline constexpr double kPowersOfTenFrom8[46] = {
    1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22, 1e23,
    1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37};

// |v| * 10^k for -22 <= k <= 22, rounded once: the power is exact, so the product (or the
// quotient) is the correctly rounded value of the exact one.
inline double Scaled(double magnitude, int k) {
    return k >= 0 ? magnitude * kPowersOfTen[k] : magnitude / kPowersOfTen[-k];
}

}  // namespace round_trip

// The 15-digit text of v is m * 10^-k with m the 15-digit integer nearest to |v| * 10^k (a
// tie to even, as the text is written). The text reads back as the double nearest to
// m * 10^-k, which is m / 10^k (or m * 10^-k) rounded once, as m and the power are exact
// doubles.
[[gnu::always_inline]] inline double RoundTrip15Inline(double v) {
    using namespace round_trip;
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

[[gnu::always_inline]] inline TextClass ClassifyShownRealInline(double shown) {
    if (shown >= -2147483648.0 && shown <= 2147483647.0 &&
        shown == static_cast<double>(static_cast<int32_t>(shown))) {
        return TextClass::Integer;  // the text is a whole number
    }
    if (std::fabs(shown) < 1e38) return TextClass::Real;  // well inside the 6-byte real
    double fitted;
    return ToReal48(shown, fitted) ? TextClass::Real : TextClass::String;
}

}  // namespace tw
