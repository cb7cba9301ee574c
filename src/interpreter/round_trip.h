#pragma once
// The 15-digit round trip of a real (RoundTrip15) and the class of its text
// (ClassifyShownReal), inline for the evaluator's quickest ways.

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

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

// 10^k * 64 and 10^k / 64 for 0 <= k <= 22: exact, as 10^k is and 64 is a power of two.
inline constexpr auto kPowersOfTenTimes64 = [] {
    std::array<double, 23> t{};
    for (int k = 0; k < 23; ++k) t[k] = kPowersOfTen[k] * 64.0;
    return t;
}();
inline constexpr auto kPowersOfTenBy64 = [] {
    std::array<double, 23> t{};
    for (int k = 0; k < 23; ++k) t[k] = kPowersOfTen[k] / 64.0;
    return t;
}();

// By the binary exponent of a magnitude from 1E-7 to 1E36 (the exponent's bits less
// kFirstExponent): floor(binaryExponent * log10 2), which is the decimal exponent or one too
// small, and the bits of the next power of ten, which a magnitude with that decimal
// exponent is below.
inline constexpr int kFirstExponent = 1023 - 24;  // 2^-24 < 1E-7
inline constexpr int kExponents = 120 + 24 + 1;   // 2^120 > 1E36
struct DecimalExponent {
    uint64_t nextPowerBits;
    int32_t decimal;
};
inline constexpr auto kDecimalExponents = [] {
    std::array<DecimalExponent, kExponents> t{};
    for (int i = 0; i < kExponents; ++i) {
        const int binaryExponent = i + kFirstExponent - 1023;
        const int decimal = (binaryExponent * 78913) >> 18;
        t[i] = {std::bit_cast<uint64_t>(kPowersOfTenFrom8[decimal + 1 + 8]), decimal};
    }
    return t;
}();

// 1.5 * 2^58: (x + kRound64) - kRound64 is x rounded to a multiple of 64, for |x| < 2^57.
inline constexpr double kRound64 = 432345564227567616.0;

inline constexpr uint64_t kBitsOf1e_7 = std::bit_cast<uint64_t>(1e-7);
inline constexpr uint64_t kBitsOf1e10 = std::bit_cast<uint64_t>(1e10);
inline constexpr uint64_t kBitsOf1e15 = std::bit_cast<uint64_t>(1e15);
inline constexpr uint64_t kBitsOf1e36 = std::bit_cast<uint64_t>(1e36);
inline constexpr int64_t kSixtyFourthsOf1e14 = int64_t{100000000000000} * 64;
inline constexpr int64_t kSixtyFourthsOf1e15 = int64_t{1000000000000000} * 64;

}  // namespace round_trip

[[gnu::always_inline]] inline TextClass ClassifyShownRealInline(double shown) {
    if (shown >= -2147483648.0 && shown <= 2147483647.0 &&
        shown == static_cast<double>(static_cast<int32_t>(shown))) {
        return TextClass::Integer;  // the text is a whole number
    }
    if (std::fabs(shown) < 1e38) return TextClass::Real;  // well inside the 6-byte real
    double fitted;
    return ToReal48(shown, fitted) ? TextClass::Real : TextClass::String;
}

// The 15-digit text of v is m * 10^-k with m the 15-digit integer nearest to |v| * 10^k (a
// tie to even, as the text is written). The text reads back as the double nearest to
// m * 10^-k, which is m / 10^k (or m * 10^-k) rounded once, as m and the power are exact
// doubles.
//
// The tests are on the bits of |v| and on whole numbers where they can be: comparisons and
// conversions of doubles compete for the same few execution ports as the scaling and the
// division, and this runs after every maths function.
//
// With kClassify, the class of the result's text (ClassifyShownRealInline) comes too. On the
// main way it is found from the 15 digits, so nothing waits for the division.
template <bool kClassify>
[[gnu::always_inline]] inline double RoundTrip15Way(double v, TextClass* textClass) {
    using namespace round_trip;
    auto classified = [textClass](double shown) {
        if constexpr (kClassify) *textClass = ClassifyShownRealInline(shown);
        return shown;
    };
    // The bits of |v|. (For magnitudes, the order of the doubles is the order of their bits.)
    const uint64_t bits = std::bit_cast<uint64_t>(v) & ~(uint64_t{1} << 63);
    const int binaryExponent = static_cast<int>(bits >> 52) - 1023;
    // A whole number below 1E15, or a whole number of sixteenths below 1E10 (at most 14
    // significant digits, four after the point), is its own text: the fraction bits that
    // shifting out the exponent and the whole (and four more) bits leaves are all zero.
    {
        const int shift = 12 + binaryExponent + (bits < kBitsOf1e10 ? 4 : 0);
        // (Plus 0: the text of -0 is "0", which reads back as 0.)
        if (bits < kBitsOf1e15 && (shift >= 12 ? (bits << shift) == 0 : bits == 0)) {
            return classified(v + 0.0);
        }
    }
    if (bits - kBitsOf1e_7 >= kBitsOf1e36 - kBitsOf1e_7) return classified(RoundTrip15Text(v));
    // The decimal exponent: floor(binaryExponent * log10 2) is it or one too small, which one
    // comparison settles. (The values' signs and sizes come at random: the way has no branch
    // that depends on them, but for the tie and for the rare magnitudes left to the text.)
    // Within 1E-7 to 1E36 it is -7 to 35, so k is within -21 to 21.
    const DecimalExponent& estimate = kDecimalExponents[(bits >> 52) - kFirstExponent];
    const int k = 14 - estimate.decimal - (bits >= estimate.nextPowerBits ? 1 : 0);
    // v * 10^k * 64, rounded once (the scale by 64 is exact): the scaled value to 1/64,
    // which is its last place from 2^46 on, so `sixtyFourths` is exact in the range.
    const double scaled64 = k >= 0 ? v * kPowersOfTenTimes64[k] : v / kPowersOfTenBy64[-k];
    // The result's way, kept short (the next statements wait for it): the scaled value
    // rounded to the nearest whole number (of 64ths), and back. Only a tie, which the checks
    // below send elsewhere, would round otherwise than up from a half.
    const double rounded64 = (scaled64 + kRound64) - kRound64;
    const double out =
        k >= 0 ? rounded64 / kPowersOfTenTimes64[k] : rounded64 * kPowersOfTenBy64[-k];
    // The checks, on whole numbers beside it.
    const int64_t signedSixtyFourths = static_cast<int64_t>(scaled64);
    const int64_t sixtyFourths = signedSixtyFourths < 0 ? -signedSixtyFourths : signedSixtyFourths;
    // Scaled below 1E14 or from 1E15 on: a magnitude just below a negative power of ten, whose
    // double is not exact, lands here.
    if (static_cast<uint64_t>(sixtyFourths - kSixtyFourthsOf1e14) >=
        static_cast<uint64_t>(kSixtyFourthsOf1e15 - kSixtyFourthsOf1e14)) {
        return classified(RoundTrip15Text(v));
    }
    int64_t digits = (sixtyFourths + 32) >> 6;
    // An exact half: the scaling's rounding error (at most half a last place) decides which
    // side the exact value is on, and a fused multiply-add gives it exactly; an exact half
    // of the exact value (a tie) is left to the text.
    if ((sixtyFourths & 63) == 32) [[unlikely]] {
        const double magnitude = std::fabs(v);
        const double scaled = static_cast<double>(sixtyFourths) / 64.0;
        const double error = k >= 0 ? std::fma(magnitude, kPowersOfTen[k], -scaled)
                                    : std::fma(-scaled, kPowersOfTen[-k], magnitude);
        if (error == 0) return classified(RoundTrip15Text(v));
        if (error < 0) --digits;
        const double m = static_cast<double>(digits);
        return classified(std::copysign(k >= 0 ? m / kPowersOfTen[k] : m * kPowersOfTen[-k], v));
    }
    if constexpr (kClassify) {
        // A quotient from 1E10 up (k below 5), or below 1 (k above 15), or not divisible by
        // 2^k, is no whole number of the integer range.
        // (Both tests are made, with one branch on the pair: the first alone would follow
        // the values' sizes.)
        *textClass = TextClass::Real;
        const bool mayBeWhole = static_cast<unsigned>(k - 5) <= 10u;
        const uint64_t below2k = (uint64_t{1} << (k & 63)) - 1;
        const bool divisible = (static_cast<uint64_t>(digits) & below2k) == 0;
        if (mayBeWhole & divisible) [[unlikely]] {
            *textClass = ClassifyShownRealInline(out);
        }
    }
    return out;
}

[[gnu::always_inline]] inline double RoundTrip15Inline(double v) {
    return RoundTrip15Way<false>(v, nullptr);
}

// RoundTrip15Inline and the class of the result's text.
[[gnu::always_inline]] inline double RoundTrip15Classified(double v, TextClass& textClass) {
    return RoundTrip15Way<true>(v, &textClass);
}

}  // namespace tw
