#pragma once
// The value model: a value is a 32-bit integer, a double-precision real or a string, and it
// re-enters expressions as text. This file holds the text forms and the conversions that the
// evaluator and the commands share.

#include <cstdint>
#include <string>
#include <string_view>

#include "frontend/number_text.h"

namespace tw {

enum class ValueType : uint8_t { Int, Real, Str };

struct Value {
    ValueType type = ValueType::Int;
    int32_t i = 0;
    double r = 0.0;
    std::string s;

    static Value Int(int32_t v) {
        Value out;
        out.i = v;
        return out;
    }
    static Value Real(double v) {
        Value out;
        out.type = ValueType::Real;
        out.r = v;
        return out;
    }
    static Value Str(std::string v) {
        Value out;
        out.type = ValueType::Str;
        out.s = std::move(v);
        return out;
    }
    bool IsStr() const { return type == ValueType::Str; }
};

// The longest text a value may hold; longer results are refused rather than exhausting memory.
inline constexpr size_t kMaxTextLength = 64 * 1024 * 1024;
// The most that the texts of the variables and the expression stack may hold together
// (Interpreter::TextsHeld); a statement that would hold more fails with RTE (97).
inline constexpr size_t kTextBudget = 256 * 1024 * 1024;
// A text at least this long is big: storing one checks the budget, and its spare storage is
// given back after the statement. Shorter texts cost no check.
inline constexpr size_t kBigText = 64 * 1024;

// Truth values of the language.
inline constexpr int32_t kTrue = 0;
inline constexpr int32_t kFalse = -1;

// The largest magnitude of the 6-byte real type (40-bit mantissa).
inline constexpr double kReal48Max = 1.7014118346045e38;

// General format with 15 significant digits: fixed notation for decimal exponents -4..14,
// otherwise d.dddE[-]x; no trailing zeros, no plus sign.
std::string RealText(double v);
void AppendRealText(std::string& out, double v);
std::string IntText(int64_t v);
// The value's own text form (integers in decimal, reals in general format, strings as they are).
std::string TextOf(const Value& v);
void AppendText(std::string& out, const Value& v);

// What a single text is to the expression classifier.
enum class TextClass : uint8_t { Integer = 0, Real = 1, String = 2 };
// Integer when the text is a whole 32-bit integer text, Real when it is another decimal text
// whose magnitude fits the 6-byte real, else String.
TextClass ClassifyNumberText(std::string_view text);

// What the text of a real is to the classifier, without writing the text out.
TextClass ClassifyRealText(double v);

// Integer conversion of a real: round half to even; false outside the 32-bit range.
bool RoundToInt32(double v, int32_t& out);
bool ToInt32(const Value& v, int32_t& out);
bool ToDouble(const Value& v, double& out);

// Conversion to the 6-byte real (round to 40 significant bits). Magnitudes below about
// 2.9E-39 become 0; above about 1.7E38 the conversion fails.
bool ToReal48(double v, double& out);

// Value arithmetic of an integer amount: an integer stays an integer (a real when it leaves the
// 32-bit range), a real stays a real, a text that denotes a number becomes a real. False for a
// text that is no number.
bool AddToValue(const Value& v, int64_t amount, Value& out);

// The real that the text form of v denotes (what a real gets back after re-entering as text).
// Worked out without writing the text where that is exact, else through the text.
double RoundTrip15(double v);
// The same, always through the text (the reference the quick way is checked against).
double RoundTrip15Text(double v);

// ClassifyRealText for a real that already is what its text denotes (RoundTrip15 of a value).
TextClass ClassifyShownReal(double shown);

}  // namespace tw
