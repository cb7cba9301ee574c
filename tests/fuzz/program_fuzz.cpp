// Fuzz target: any source text, tested and run as a program with every command, on a recorded
// host whose clock advances 1 ms per pass. A run must end by itself within its budget of
// statements and run time (every long statement gives way to the limits), whatever the program
// does with texts, screens, sprites, timers or the console; the fuzzer's sanitizers watch every
// buffer on the way.
//
// The first byte, when it is 0x02, makes the next two bytes the millisecond at which Escape is
// pressed (opening the console over the stopped run), and the rest of the input up to the first
// NUL byte the console's lines; the program's source follows that NUL byte.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "test_support.h"

namespace {

constexpr int64_t kStatements = 3000;
constexpr int64_t kRunMs = 4000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string consoleText;
    int escapeAt = -1;
    if (size >= 3 && data[0] == 0x02) {
        escapeAt = data[1] | data[2] << 8;
        input.remove_prefix(3);
        const size_t end = input.find('\0');
        if (end == std::string_view::npos) return 0;
        consoleText = std::string(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    tw::test::ProgramRun run{std::string(input)};
    if (!run.program.Ok()) return 0;
    run.in.limits.maxStatements = kStatements;
    run.in.limits.timeoutMs = kRunMs;
    if (escapeAt >= 0) {
        run.host.script = tw::KeyScript(
            {{escapeAt, tw::scan::kEscape, true}, {escapeAt + 30, tw::scan::kEscape, false}});
        size_t start = 0;
        while (start <= consoleText.size() && run.host.consoleLines.size() < 8) {
            const size_t end = consoleText.find('\n', start);
            run.host.consoleLines.push_back(consoleText.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    run.Run();
    // The run stayed within its budget: the limits were looked at, inside long statements too.
    if (run.in.run.statementCount > kStatements + 16) std::abort();
    if (run.host.tick > static_cast<uint32_t>(kRunMs) + 1000u + (escapeAt >= 0 ? 70000u : 0u)) {
        std::abort();
    }
    return 0;
}
