// Fuzz target: what the interpreter remembers about a program's rows, and every fast form built
// on it, changes no result. The input is a program's source text (the seeds are the project's
// own programs, which the fuzzer changes as it likes), or, when its first byte is 0x01, the
// choices of the program generator. The program runs remembering and not, as the unit test's
// programs do; any difference aborts with the report of the first one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "differential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source =
        tw::diff::ProgramFromFuzzInput(std::string_view(reinterpret_cast<const char*>(data), size));
    if (source.empty()) return 0;
    tw::diff::RunOptions options;
    options.maxStatements = tw::diff::kFuzzStatements;
    const tw::diff::Comparison c = tw::diff::CompareRuns(source, options);
    if (c.difference.empty()) return 0;
    std::fprintf(stderr,
                 "The runs remembering and not remembering the program differ.\n%sprogram:\n%s",
                 c.difference.c_str(), tw::diff::Listing(source).c_str());
    std::abort();
}
