#include <gtest/gtest.h>

#include <cmath>
#include <bit>
#include <cstring>
#include <random>

#include "interpreter/round_trip.h"
#include "interpreter/value.h"

namespace tw {
namespace {

TEST(RealText, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(RealText(0.0001), "0.0001");
    EXPECT_EQ(RealText(0.00001), "1E-5");
    EXPECT_EQ(RealText(0.000015), "1.5E-5");
    EXPECT_EQ(RealText(1e15), "1E15");
    EXPECT_EQ(RealText(1e14), "100000000000000");
    EXPECT_EQ(RealText(123456789012345.0), "123456789012345");
    EXPECT_EQ(RealText(1234567890123456.0), "1.23456789012346E15");
    EXPECT_EQ(RealText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(RealText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(RealText(0.1 + 0.2), "0.3");
    EXPECT_EQ(RealText(3.5), "3.5");
    EXPECT_EQ(RealText(-2.25), "-2.25");
    EXPECT_EQ(RealText(1.5e20), "1.5E20");
    EXPECT_EQ(RealText(-1e-300), "-1E-300");
    EXPECT_EQ(RealText(0.0), "0");
    EXPECT_EQ(RealText(-0.0), "0");
    EXPECT_EQ(RealText(99999999999999.99), "100000000000000");  // rounds up to 15 digits
    EXPECT_EQ(RealText(999999999999999.9), "1E15");
}

TEST(TextOf, EachKindOfValue) {
    EXPECT_EQ(TextOf(Value::Int(-42)), "-42");
    EXPECT_EQ(TextOf(Value::Real(6.0)), "6");
    EXPECT_EQ(TextOf(Value::Real(-0.5)), "-0.5");
    EXPECT_EQ(TextOf(Value::Str("a b")), "a b");
}

TEST(NumberTexts, WholeNumbers) {
    int32_t v = 0;
    EXPECT_TRUE(ParseWholeNumber("+5", v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(ParseWholeNumber("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(ParseWholeNumber("007", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", "-", "+", "2147483648", "-2147483649", "1.0", "1e3", " 1", "1 ",
                            "99999999999999999999", "0x10", "A"}) {
        EXPECT_FALSE(ParseWholeNumber(bad, v)) << bad;
    }
}

TEST(NumberTexts, Decimals) {
    double d = 0;
    struct Good {
        const char* text;
        double value;
    } good[] = {{"1.5", 1.5},
                {".5", 0.5},
                {"5.", 5.0},
                {"-2", -2.0},
                {"+2.5", 2.5},
                {"1e5", 1e5},
                {"1E+5", 1e5},
                {"1E-5", 1e-5},
                {"1e-400", 0.0},
                {"00.1", 0.1},
                {"123456789012345678901234567890", 1.2345678901234568e29}};
    for (const Good& g : good) {
        EXPECT_TRUE(ParseDecimal(g.text, d)) << g.text;
        EXPECT_EQ(d, g.value) << g.text;
    }
    for (const char* bad : {"", "-", ".", "-.", "e5", "1e", "1e+", "1.5.5", "inf", "nan", "1e400",
                            "0x10", "1,5", "--1", "- 1", "+.", "1f", "\"1\""}) {
        EXPECT_FALSE(ParseDecimal(bad, d)) << bad;
    }
}

TEST(NumberTexts, Classification) {
    EXPECT_EQ(ClassifyNumberText("5"), TextClass::Integer);
    EXPECT_EQ(ClassifyNumberText("-5"), TextClass::Integer);
    EXPECT_EQ(ClassifyNumberText("5.0"), TextClass::Real);
    EXPECT_EQ(ClassifyNumberText("2147483648"), TextClass::Real);
    EXPECT_EQ(ClassifyNumberText("1E38"), TextClass::Real);
    EXPECT_EQ(ClassifyNumberText("1.7E38"), TextClass::Real);
    EXPECT_EQ(ClassifyNumberText("1.8E38"), TextClass::String);  // beyond the 6-byte real
    EXPECT_EQ(ClassifyNumberText("1E-300"), TextClass::Real);
    EXPECT_EQ(ClassifyNumberText("."), TextClass::String);
    EXPECT_EQ(ClassifyNumberText("ABC"), TextClass::String);
    EXPECT_EQ(ClassifyNumberText("\"5\""), TextClass::String);
    EXPECT_EQ(ClassifyNumberText(""), TextClass::String);
}

TEST(Conversions, IntegerConversionRoundsHalfToEven) {
    int32_t v = 0;
    struct Case {
        double in;
        int32_t out;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-2.5, -2},
                 {-3.5, -4},
                 {2.4999, 2},
                 {2.51, 3},
                 {-0.5, 0},
                 {2147483647.4, 2147483647},
                 {-2147483648.0, INT32_MIN}};
    for (const Case& c : cases) {
        EXPECT_TRUE(RoundToInt32(c.in, v)) << c.in;
        EXPECT_EQ(v, c.out) << c.in;
    }
    EXPECT_FALSE(RoundToInt32(2147483647.5, v));
    EXPECT_FALSE(RoundToInt32(-2147483649.0, v));
    EXPECT_FALSE(RoundToInt32(NAN, v));
    EXPECT_TRUE(ToInt32(Value::Str("12"), v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ToInt32(Value::Str("2.5"), v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(ToInt32(Value::Str("x"), v));
}

TEST(Conversions, SixByteReal) {
    double a, b;
    // 40 significant bits: about 12 decimal digits survive.
    ASSERT_TRUE(ToReal48(0.1, a));
    ASSERT_TRUE(ToReal48(0.1 + 1e-14, b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(ToReal48(1e12, a));
    ASSERT_TRUE(ToReal48(1e12 + 1, b));
    EXPECT_NE(a, b);
    ASSERT_TRUE(ToReal48(1e13, a));
    ASSERT_TRUE(ToReal48(1e13 + 1, b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(ToReal48(-3.0, a));
    EXPECT_EQ(a, -3.0);
    ASSERT_TRUE(ToReal48(1e-40, a));
    EXPECT_EQ(a, 0.0);
    EXPECT_TRUE(ToReal48(1.7e38, a));
    EXPECT_FALSE(ToReal48(1.71e38, a));
    EXPECT_FALSE(ToReal48(INFINITY, a));
}

TEST(Conversions, SixByteRealRoundsHalvesToEven) {
    // 1 + 2^-39 is the smallest step above 1 that the 39 kept fraction bits can hold.
    const double step = std::ldexp(1.0, -39);
    double out;
    // Exactly half a step: to the even neighbour, down from 1 and up from 1 + step.
    ASSERT_TRUE(ToReal48(1.0 + step / 2, out));
    EXPECT_EQ(out, 1.0);
    ASSERT_TRUE(ToReal48(1.0 + step + step / 2, out));
    EXPECT_EQ(out, 1.0 + 2 * step);
    ASSERT_TRUE(ToReal48(-(1.0 + step + step / 2), out));
    EXPECT_EQ(out, -(1.0 + 2 * step));
    // Just past or short of half a step: to the nearer neighbour.
    ASSERT_TRUE(ToReal48(1.0 + step / 2 + std::ldexp(1.0, -52), out));
    EXPECT_EQ(out, 1.0 + step);
    ASSERT_TRUE(ToReal48(1.0 + step + step / 2 - std::ldexp(1.0, -52), out));
    EXPECT_EQ(out, 1.0 + step);
    // A tie that carries into the exponent.
    ASSERT_TRUE(ToReal48(2.0 - step / 2, out));
    EXPECT_EQ(out, 2.0);
}

TEST(Conversions, RoundTripKeepsFifteenDigits) {
    EXPECT_EQ(RoundTrip15(1.0 / 3.0), 0.333333333333333);
    EXPECT_EQ(RoundTrip15(0.1 + 0.2), 0.3);
    EXPECT_EQ(RoundTrip15(7.0), 7.0);
    EXPECT_EQ(RoundTrip15(1e300), 1e300);
}

// The quick round trip must give the very real that writing and reading the text gives, for
// every kind of real: random bit patterns, short decimals and their neighbours, values whose
// fifteenth digit is a near tie, and the edges of the quick range.
// The conversion without nearbyint against nearbyint itself.
TEST(Conversions, IntegerConversionAgreesWithNearbyint) {
    auto reference = [](double v, int32_t& out) {
        if (!std::isfinite(v)) return false;
        const double r = std::nearbyint(v);
        if (r < -2147483648.0 || r > 2147483647.0) return false;
        out = static_cast<int32_t>(r);
        return true;
    };
    std::mt19937_64 random(32);
    auto same = [&](double v) {
        int32_t quick = 0, plain = 0;
        ASSERT_EQ(RoundToInt32(v, quick), reference(v, plain)) << std::hexfloat << v;
        EXPECT_EQ(quick, plain) << std::hexfloat << v;
    };
    for (int i = 0; i < 200000; ++i) {
        const double whole = static_cast<double>(static_cast<int64_t>(random() % 6000000000ull) -
                                                 3000000000);
        same(whole);
        same(whole + 0.5);
        same(whole - 0.5);
        same(std::nextafter(whole + 0.5, 0.0));
        same(std::nextafter(whole + 0.5, 1e300));
        same(whole / 1024.0);
        uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        same(v);
    }
    const double edges[] = {2147483647.5, 2147483646.5, -2147483648.5, -2147483649.0,
                            2147483648.0, -0.0,         0.49999999999999994, -0.5,
                            1e300,        -1e300,       INFINITY,     -INFINITY,
                            NAN};
    for (double edge : edges) {
        same(edge);
    }
}

TEST(Conversions, QuickRoundTripAgreesWithTheText) {
    std::mt19937_64 random(15);
    auto same = [](double v) {
        const double quick = RoundTrip15(v), text = RoundTrip15Text(v);
        // Compared bit for bit: -0 and 0 must not be confused either.
        EXPECT_EQ(std::signbit(quick), std::signbit(text)) << v;
        EXPECT_EQ(quick, text) << std::hexfloat << v;
        // The class found on the way, from the digits, is the class of the result's text.
        TextClass textClass;
        const double classified = RoundTrip15Classified(v, textClass);
        EXPECT_EQ(std::bit_cast<uint64_t>(classified), std::bit_cast<uint64_t>(quick)) << v;
        EXPECT_EQ(textClass, ClassifyShownReal(text)) << std::hexfloat << v;
    };
    for (int i = 0; i < 200000; ++i) {
        uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) same(v);
        // Magnitudes where the quick way works, and decimals with few digits.
        const double scale = std::pow(10.0, static_cast<int>(random() % 60) - 20);
        const double m = static_cast<double>(random() % 1000000007) / 1000.0;
        same(m * scale);
        same(-m * scale);
        same(std::nextafter(m * scale, 0.0));
        same(std::nextafter(m * scale, 1e300));
        // Sixteenths, around the largest magnitude that is taken as it stands.
        const double sixteenths =
            static_cast<double>(static_cast<int64_t>(random() % 400000000000ull) - 200000000000) /
            16.0;
        same(sixteenths);
        same(sixteenths * 1.0000001);
        // Whole numbers around the integer range, a last place off, and thousandths of them
        // (whose digits end in zeros): their text's class.
        const double whole = static_cast<double>(static_cast<int64_t>(random() % 6000000000ull)) -
                             3000000000.0;
        same(std::nextafter(whole, 0.0));
        same(std::nextafter(whole, 1e300));
        same(whole / 1000.0);
        same(whole / 1e6 * (1 + 1e-15));
        // A fifteenth digit followed by exactly 5 and by nearly 5.
        const double tie = (static_cast<double>(random() % 100000000000000ull) + 0.5) * scale;
        same(tie);
        same(std::nextafter(tie, 0.0));
        same(std::nextafter(tie, 1e300));
    }
    for (double edge : {1e-7, 9.99999999999999e-8, 1e36, 9.99999999999999e35, 1e14, 1e15, 0.1, 0.5,
                        2.5, 1.0 / 3.0, 2.0 / 3.0, 123456789012345.6, 999999999999999.5,
                        9999999999.9375, 1e10 + 0.0625, 0.0625, 1.0 / 32.0, 0.0, -0.0, 1.0,
                        999999999999999.0, 1e15 + 2, 1e10 + 1, 1e10 - 0.0625, 1e-6, 1e-5,
                        1e20, 1e35, 1e22, 1e23, 2147483648.0, -2147483648.0, 2147483647.0,
                        -2.5, 3.0000000000000004, 99999.99999999999, 1e9 + 1e-6}) {
        same(edge);
        same(std::nextafter(edge, 0.0));
        same(std::nextafter(edge, 1e300));
    }
}

TEST(NumberTexts, RealClassificationAgreesWithTheWrittenText) {
    // The classifier of a real must say what classifying its text would say.
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -1.0,
                             0.5,
                             2147483647.0,
                             2147483648.0,
                             -2147483648.0,
                             -2147483649.0,
                             1e14,
                             1e15,
                             123456789012345.0,
                             1e16,
                             1e-4,
                             1e-5,
                             0.1 + 0.2,
                             1.7e38,
                             1.70141e38,
                             1.7014118346046e38,
                             1.8e38,
                             3e-39,
                             2.9e-39,
                             1e-300,
                             -1e-300,
                             1e300,
                             4e9 + 0.5,
                             -7.25,
                             65536.0 * 65536.0};
    for (double v : values) {
        EXPECT_EQ(ClassifyRealText(v), ClassifyNumberText(RealText(v))) << RealText(v);
        EXPECT_EQ(ClassifyRealText(-v), ClassifyNumberText(RealText(-v))) << RealText(-v);
    }
    for (double v = 1e-45; v < 1e40; v *= 3.7) {
        EXPECT_EQ(ClassifyRealText(v), ClassifyNumberText(RealText(v))) << RealText(v);
    }
}

TEST(AddToValue, KindsOfTheResult) {
    Value out;
    ASSERT_TRUE(AddToValue(Value::Int(-5), 3, out));
    EXPECT_EQ(out.type, ValueType::Int);
    EXPECT_EQ(out.i, -2);
    // An integer that leaves the 32-bit range goes on as a real, exactly.
    ASSERT_TRUE(AddToValue(Value::Int(2147483647), 1, out));
    EXPECT_EQ(out.type, ValueType::Real);
    EXPECT_EQ(out.r, 2147483648.0);
    ASSERT_TRUE(AddToValue(Value::Int(-2147483647 - 1), -1, out));
    EXPECT_EQ(out.type, ValueType::Real);
    EXPECT_EQ(out.r, -2147483649.0);
    ASSERT_TRUE(AddToValue(Value::Int(0), int64_t{1} << 40, out));
    EXPECT_EQ(out.r, 1099511627776.0);
    ASSERT_TRUE(AddToValue(Value::Real(1.5), 1, out));
    EXPECT_EQ(out.type, ValueType::Real);
    EXPECT_EQ(out.r, 2.5);
    // A text that denotes a number counts on as a real, even a whole one.
    ASSERT_TRUE(AddToValue(Value::Str("2"), 2, out));
    EXPECT_EQ(out.type, ValueType::Real);
    EXPECT_EQ(out.r, 4.0);
    out = Value::Int(99);
    EXPECT_FALSE(AddToValue(Value::Str("abc"), 1, out));
    EXPECT_FALSE(AddToValue(Value::Str(""), 1, out));
    EXPECT_EQ(out.i, 99);  // untouched on failure
}

}  // namespace
}  // namespace tw
