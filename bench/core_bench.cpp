// Micro-benchmarks of the interpreter core: whole run-loop passes over straight-line programs.

#include <benchmark/benchmark.h>

#include <string>

#include "frontend/tokenize.h"
#include "frontend/validation.h"
#include "interpreter/interpreter.h"
#include "interpreter/run_session.h"
#include "platform/headless/headless_host.h"
#include "validator/rules.h"

namespace tw {
namespace {

// Runs `rows` copies of `statement` followed by STOP, again and again.
void RunStraightLine(benchmark::State& state, const std::string& prelude,
                     const std::string& statement) {
    std::string source = prelude;
    const int rows = 1999;
    for (int i = 0; i < rows; ++i) source += statement + "\n";
    source += "STOP\n";
    TokenBuffer program;
    RoutineTable routines;
    FillTokenBuffer(SplitSourceLines(source), program);
    CommandValidationRules rules;
    Validate_Command_Tokens(program, routines, rules);
    HeadlessHost::Options options;
    options.debug = nullptr;
    HeadlessHost host(options);
    Interpreter in(host);
    in.program = &program;
    in.routines = &routines;
    int64_t statements = 0;
    for (auto _ : state) {
        RunProgram(in);
        statements += in.run.statementCount;
    }
    state.counters["statements/s"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kIsRate);
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

BENCHMARK(BM_LetIncrement);
BENCHMARK(BM_LetReal);
BENCHMARK(BM_LetString);
BENCHMARK(BM_NoEffect);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
