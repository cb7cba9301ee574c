#include "frontend/keywords.h"

#include <unordered_map>

namespace tw {

const std::array<std::string_view, kCommandCount> kCommandNames = {
#define TW_X(id, name) name,
    TW_COMMAND_LIST(TW_X)
#undef TW_X
};

const std::array<std::string_view, kFunctionCount> kFunctionNames = {
#define TW_X(id, name) name,
    TW_FUNCTION_LIST(TW_X)
#undef TW_X
};

const std::array<std::string_view, kValidationCommandCount> kValidationNames = {
#define TW_X(id, name) name,
    TW_VALIDATION_LIST(TW_X)
#undef TW_X
};

namespace {

// Name -> first index with that name. Built once; the tables never change.
template <size_t N>
std::unordered_map<std::string_view, int> BuildIndex(const std::array<std::string_view, N>& names) {
    std::unordered_map<std::string_view, int> index;
    for (int i = 0; i < static_cast<int>(N); ++i) {
        if (!names[i].empty()) index.emplace(names[i], i);  // emplace keeps the first
    }
    return index;
}

int Lookup(const std::unordered_map<std::string_view, int>& index, std::string_view upper) {
    auto it = index.find(upper);
    return it == index.end() ? -1 : it->second;
}

}  // namespace

int FindCommand(std::string_view upper) {
    static const auto index = BuildIndex(kCommandNames);
    return Lookup(index, upper);
}

int FindFunction(std::string_view upper) {
    static const auto index = BuildIndex(kFunctionNames);
    return Lookup(index, upper);
}

int FindValidationCommand(std::string_view upper) {
    static const auto index = BuildIndex(kValidationNames);
    return Lookup(index, upper);
}

}  // namespace tw
