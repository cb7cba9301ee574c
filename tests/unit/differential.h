#pragma once
// Differential runs: a program runs twice, once with the interpreter remembering what it learns
// about the program's rows (Interpreter::rememberProgram) and once without, and the two runs must
// leave the same traces: the same state before every statement, the same output, the same end.
// The programs come from a seeded generator or from mutations of the project's own programs.
//
// Shared by the unit test (seeded choices) and the fuzz target (choices read from its input).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.h"
#include "interpreter/run_session.h"

namespace tw::diff {

// Where the generator's and the mutator's choices come from.
class Choices {
public:
    virtual ~Choices() = default;
    // A number in [0, n); n must be above 0.
    virtual uint32_t Below(uint32_t n) = 0;
    // True `percent` times in a hundred; false for the choice 0, which means "the usual".
    bool Chance(uint32_t percent) { return Below(100) + percent >= 100; }
    template <class List>
    const auto& OneOf(const List& list) {
        return list[Below(static_cast<uint32_t>(std::size(list)))];
    }
};

// Choices from a seeded Mersenne twister: the same seed gives the same choices on every
// platform (the engine's output is fixed by the standard; its distributions are not, so none
// is used).
class SeededChoices : public Choices {
public:
    explicit SeededChoices(uint32_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) override { return static_cast<uint32_t>(engine_() % n); }

private:
    std::mt19937 engine_;
};

// Choices read from bytes (a fuzzer's input); once they run out every choice is 0, which the
// generator takes as the usual thing.
class ByteChoices : public Choices {
public:
    ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Below(uint32_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// A random program of the dialect: assignments of mixed expressions, OUTPUTDEBUG of values,
// conditionals, the four loop forms, labels with GOTO and GOSUB, procedures with parameters,
// LOCAL and GLOBAL, DEGREE and RADIAN. It is meant to pass the test before a run; it may fail
// at run time, or run until the statement limit stops it.
std::string GenerateProgram(Choices& choices);

// Large round counts of loops (LET N = 30000000, FOR I = 1 TO 500000) made small, so that a
// benchmark program reaches its end under the statement limit.
std::string ShrinkCounts(const std::string& source);

// A few token-wise changes: an operator swapped, a number replaced by an edge value, an operand
// replaced by a quoted text, a parenthesis dropped or doubled, rows swapped, doubled or dropped.
std::string MutateProgram(const std::string& source, Choices& choices);

// Whether a program may read the wall clock (CURRENTDATE, CURRENTTIME): two runs of it need not
// agree, so it is no program for a differential run.
bool ReadsTheWallClock(std::string_view source);

// What a fuzzer's input stands for: when its first byte is 0x01, the program the generator
// writes from the bytes after it; else the input itself as a source text, its loop counts
// shrunk. Empty for a text that reads the wall clock.
std::string ProgramFromFuzzInput(std::string_view input);
// The fuzzer's statement limit: it wants many short runs.
inline constexpr int64_t kFuzzStatements = 5000;

struct RunOptions {
    int64_t maxStatements = 20000;
    // Hash the interpreter's tables before every statement, from an observer. Else only the end
    // is compared, and the run has no observer unless one of the two below needs it.
    bool everyStatement = true;
    // Keep the full state before this statement (0-based), to show what differs there.
    int64_t keepStateBefore = -1;
    // Called after every statement with the interpreter and the statement's 0-based number; a
    // test plants faults with it. The run then steps one statement at a time.
    std::function<void(Interpreter&, int64_t)> afterStatement;
};

// What one run left behind.
struct RunTrace {
    bool prepared = false;  // the program passed its test (else nothing ran)
    RunOutcome outcome = RunOutcome::Stopped;
    std::vector<std::string> messages;  // the message boxes, the run's own end among them
    std::vector<std::string> debug;
    int32_t statements = 0;
    // Of an observed run: a hash of the tables before each statement, and the row about to run.
    std::vector<uint64_t> digests;
    std::vector<int32_t> rows;
    std::vector<std::string> state;        // the full state when the run ended, one line per entry
    std::vector<std::string> stateBefore;  // the full state before RunOptions::keepStateBefore
};

RunTrace TraceRun(const std::string& source, bool remember, const RunOptions& options);

// The full state of the interpreter's tables, one line per table entry: the run state, every
// variable slot, the expression stack, the loop, procedure and GOSUB stacks.
std::vector<std::string> StateLines(const Interpreter& in);

// The outcome of comparing the two runs of one program.
struct Comparison {
    bool prepared = false;   // false: the program did not pass its test, nothing ran
    RunTrace remembering;    // the trace of the run that remembers
    std::string difference;  // empty when the runs are alike; else the first difference
};

// Runs `source` remembering and not, and describes the first difference between the runs: the
// first statement before which the tables differ (with the differing entry and the rows run
// just before it), else the output, the outcome, the statement count or the final state. When
// every statement is compared, the remembering run is made once more without an observer (the
// run loop's other copy), and it must end alike. `plantRemembering`, when given, is called
// after each statement of the run that remembers.
Comparison CompareRuns(const std::string& source, const RunOptions& options = {},
                       const std::function<void(Interpreter&, int64_t)>& plantRemembering = {});

// The source with numbered lines, for a failure message.
std::string Listing(const std::string& source);

}  // namespace tw::diff
