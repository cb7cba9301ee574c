#pragma once
// The keyword tables of the language: command, function and validation names.

#include <array>
#include <cstdint>
#include <string_view>

#include "frontend/keyword_lists.h"

namespace tw {

enum class CommandId : int16_t {
#define TW_X(id, name) id,
    TW_COMMAND_LIST(TW_X)
#undef TW_X
};

enum class FunctionId : int16_t {
#define TW_X(id, name) id,
    TW_FUNCTION_LIST(TW_X)
#undef TW_X
};

enum class ValidationId : int16_t {
#define TW_X(id, name) id,
    TW_VALIDATION_LIST(TW_X)
#undef TW_X
};

// The sizes of the tables, counted from the lists. The language fixes them: a name is added
// only at the end of a list, when the language itself gains one.
#define TW_X(id, name) +1
inline constexpr int kCommandCount = 0 TW_COMMAND_LIST(TW_X);
inline constexpr int kFunctionCount = 0 TW_FUNCTION_LIST(TW_X);
inline constexpr int kValidationCommandCount = 0 TW_VALIDATION_LIST(TW_X);
#undef TW_X
static_assert(kCommandCount == 156, "the command table has 156 names");
static_assert(kFunctionCount == 73, "the function table has 73 names");
static_assert(kValidationCommandCount == 144, "the validation table has 144 names");

extern const std::array<std::string_view, kCommandCount> kCommandNames;
extern const std::array<std::string_view, kFunctionCount> kFunctionNames;
extern const std::array<std::string_view, kValidationCommandCount> kValidationNames;

// The function names the validator knows, with their parameter counts. The two empty entries
// never match.
struct ValidationFunction {
    std::string_view name;
    int32_t parameterCount;
};
inline constexpr auto kValidationFunctions = std::to_array<ValidationFunction>(
    {{"COS", 1}, {"SIN", 1}, {"MID$", 3}, {"LEFT$", 2}, {"RIGHT$", 2}, {"", 0}, {"", 0}});
inline constexpr int kValidationFunctionCount = static_cast<int>(kValidationFunctions.size());
static_assert(kValidationFunctionCount == 7, "the validator knows 7 function slots");

// Lookups take an upper-case name and return the first equal entry in index order, or -1.
// The empty name never matches (slot 125 of the command table is empty).
int FindCommand(std::string_view upper);
int FindFunction(std::string_view upper);
int FindValidationCommand(std::string_view upper);

constexpr int Index(CommandId id) {
    return static_cast<int>(id);
}
constexpr int Index(FunctionId id) {
    return static_cast<int>(id);
}
constexpr int Index(ValidationId id) {
    return static_cast<int>(id);
}

}  // namespace tw
