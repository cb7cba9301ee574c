#pragma once
// Number texts: which token texts are numbers, and their values.

#include <cstdint>
#include <string_view>

namespace tw {

// A whole 32-bit integer text: optional sign and decimal digits.
bool ParseWholeNumber(std::string_view text, int32_t& out);
// A decimal number text: optional sign, digits with an optional '.', optional exponent.
// Overflow fails; underflow gives 0.
bool ParseDecimal(std::string_view text, double& out);

}  // namespace tw
