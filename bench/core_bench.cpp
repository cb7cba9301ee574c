// Micro-benchmarks of the interpreter core: whole run-loop passes over straight-line programs.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"
#include "interpreter/run_session.h"
#include "platform/headless/headless_host.h"
#include "services/keyboard.h"
#include "sprites/sprites.h"

namespace tw {
namespace {

// An observer that looks at every statement and lets it run: what a debugger with no
// breakpoint costs.
class CountingObserver : public RunObserver {
public:
    Action BeforeStatement(const Interpreter&, int32_t row) override {
        last = row;
        ++seen;
        return Action::Run;
    }
    int32_t last = -1;
    int64_t seen = 0;
};

// Runs the program again and again, with the observer when one is given, and counts the
// statements per second. `maxStatements` stops each run (0: the program stops itself). The
// statements of all runs.
int64_t RunAgain(benchmark::State& state, const std::string& source, RunObserver* observer,
                 int64_t maxStatements = 0) {
    const PreparedProgram program = Prepare(source);
    HeadlessHost::Options options;
    options.debug = nullptr;
    HeadlessHost host(options);
    Interpreter in(host);
    in.limits.maxStatements = maxStatements;
    int64_t statements = 0;
    for (auto _ : state) {
        RunSession session(in);
        session.SetObserver(observer);
        session.Start(program);
        while (session.Step(int64_t{1} << 20) != RunSession::StepEnd::Ended) {
        }
        session.Finish();
        statements += in.run.statementCount;
    }
    state.counters["statements/s"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kIsRate);
    return statements;
}

// 1999 copies of `statement` followed by STOP: start-up and teardown included.
void RunStraightLine(benchmark::State& state, const std::string& prelude,
                     const std::string& statement, RunObserver* observer = nullptr) {
    std::string source = prelude;
    for (int i = 0; i < 1999; ++i) source += statement + "\n";
    RunAgain(state, source + "STOP\n", observer);
}

// A loop of `statement` and a GOTO, stopped by the statement limit after a million passes, with
// automatic screen updates off: the cost of a pass of the run loop, without start-up or
// composition, and with an observer when one is given.
void RunLoop(benchmark::State& state, const std::string& statement,
             RunObserver* observer = nullptr) {
    RunAgain(state, "SET AUTO UPDATE OFF\nLET X = 0\nL:\n" + statement + "\nGOTO L\n", observer,
             1000000);
}

void BM_LoopPass(benchmark::State& state) {
    RunLoop(state, "LET X = X + 1");
}
void BM_LoopPassObserved(benchmark::State& state) {
    CountingObserver observer;
    RunLoop(state, "LET X = X + 1", &observer);
}

// PRINT of 80-character lines. Grid mode: Courier 12 points gives 80 cells across the 800x600
// screen 0, so every line wraps at its end, and the screen scrolls up a row after each line
// (PRINT, VSCROLL, CUP and GOTO: four statements a line). Free mode: the line at the pen (PRINT
// and GOTO). Counts characters per second.
void RunPrint(benchmark::State& state, bool grid) {
    constexpr int64_t kPasses = 40000;
    const std::string line = "\"" + std::string(80, 'W') + "\"";
    const std::string source =
        std::string("SET AUTO UPDATE OFF\n") +
        (grid ? "SET TEXT GRID ON\nFONT SIZE 12\nLOCATE 0, 30\n" : "GFXLOCATE 5, 5\n") +
        "L:\nPRINT " + line + "\n" + (grid ? "VSCROLL S, U\nCUP\n" : "") + "GOTO L\n";
    const int setup = grid ? 5 : 3;  // the rows before the loop, and its label once
    const int perLine = grid ? 4 : 2;
    const int64_t statements = RunAgain(state, source, nullptr, kPasses);
    const int64_t lines = (statements - setup * state.iterations()) / perLine;
    state.counters["characters/s"] =
        benchmark::Counter(static_cast<double>(lines * 80), benchmark::Counter::kIsRate);
}

void BM_PrintGrid(benchmark::State& state) {
    RunPrint(state, true);
}
void BM_PrintFree(benchmark::State& state) {
    RunPrint(state, false);
}

void BM_LetIncrement(benchmark::State& state) {
    RunStraightLine(state, "LET X = 0\n", "LET X = X + 1");
}
void BM_LetReal(benchmark::State& state) {
    RunStraightLine(state, "LET X = 0.5\n", "LET X = X * 1.5 - 0.25");
}
void BM_LetString(benchmark::State& state) {
    RunStraightLine(state, "LET S = \"\"\n", "LET S = \"AB\" + \"CD\"");
}
void BM_NoEffect(benchmark::State& state) {
    RunStraightLine(state, "", "BELL");
}
// The same runs with an observer attached; without one the run loop only tests a null pointer.
void BM_LetIncrementObserved(benchmark::State& state) {
    CountingObserver observer;
    RunStraightLine(state, "LET X = 0\n", "LET X = X + 1", &observer);
}
void BM_NoEffectObserved(benchmark::State& state) {
    CountingObserver observer;
    RunStraightLine(state, "", "BELL", &observer);
}

// A 16 x 16 sprite file: an 8-bit bitmap, a ring of colour 1 on colour 0.
std::vector<uint8_t> RingSprite() {
    constexpr int kSide = 16, kOffset = 14 + 40 + 8;
    std::vector<uint8_t> f(kOffset + kSide * kSide, 0);
    auto put32 = [&f](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B', f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, kOffset);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    f[26] = 1, f[28] = 8;
    put32(46, 2);
    f[58] = f[59] = f[60] = 255;  // colour 1 white
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = 2 * x - 15, dy = 2 * y - 15, r2 = dx * dx + dy * dy;
            f[kOffset + y * kSide + x] = r2 > 100 && r2 < 225 ? 1 : 0;
        }
    }
    return f;
}

// One frame of a busy game: 16 open screens composed, 51 transparent sprites on paths drawn
// over them and moved one step, and the keyboard service's tick. Target: 1000 frames/s.
void BM_Frame(benchmark::State& state) {
    const std::vector<uint8_t> sprite = RingSprite();
    std::string path = "circle\r\n60\r\n";
    for (int i = 0; i < 60; ++i) {
        path += std::to_string(380 + i * 5) + "\r\n" + std::to_string(280 + (i * 7) % 40) + "\r\n";
    }
    RunFiles files = {RunFile{"ring.spr", false, sprite, ""},
                      RunFile{"circle.pth", true,
                              std::span(reinterpret_cast<const uint8_t*>(path.data()), path.size()),
                              "1"}};
    std::string source;
    for (int n = 1; n < 16; ++n) {
        source += "SCREEN OPEN " + std::to_string(n) + ", 200, 150\nSCREEN OFFSET " +
                  std::to_string(n) + ", " + std::to_string(n * 40) + ", " +
                  std::to_string(n * 25) + "\nCLS " + std::to_string(n * 10) + "\n";
    }
    for (int n = 0; n <= 50; ++n) {
        const std::string k = std::to_string(n);
        source += "SPRITE CREATE " + k + ", 0, 0, \"ring.spr\"\nSPRITE TRANSPARENT YES, " + k +
                  ", 0\nSPRITE PATH ADD " + k + ", 1\nSPRITE PATH POS " + k + ", " +
                  std::to_string(n % 60) + "\nSPRITE PATH END " + k + ", BOUNCE\n";
    }
    source += "WAIT KEY\n";
    const PreparedProgram program = Prepare(source);
    HeadlessHost::Options options;
    options.debug = nullptr;
    HeadlessHost host(options);
    Interpreter in(host);
    in.sprites.files = &files;
    RunSession session(in);
    session.Start(program);
    session.Step(10000);  // the set-up, up to the WAIT
    if (!in.run.suspended) state.SkipWithError("the set-up did not reach its WAIT");
    for (auto _ : state) {
        UpdateDisplay(in.screens, in.run.statementCount, true);
        AdvanceSpritePaths(in.sprites);
        ServiceKeyboard(in.keys, host);
    }
    session.Finish();
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_LetIncrement);
BENCHMARK(BM_LetReal);
BENCHMARK(BM_LetString);
BENCHMARK(BM_NoEffect);
BENCHMARK(BM_LetIncrementObserved);
BENCHMARK(BM_LoopPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoopPassObserved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoEffectObserved);
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
