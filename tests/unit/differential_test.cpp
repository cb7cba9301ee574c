// What the interpreter remembers about a program's rows, and every fast form built on it, must
// change no result: random and mutated programs run remembering and not, and the tables must be
// equal before every statement, the output and the end of the two runs alike.
//
// TARNWICK_DIFF_PROGRAMS sets how many programs each test runs (a long run: thousands), and
// TARNWICK_DIFF_SEED the first seed; a failure names the seed that repeats it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "differential.h"

namespace tw {
namespace {

using diff::Comparison;
using diff::SeededChoices;

uint32_t Setting(const char* name, uint32_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
}

// An unoptimised build (the sanitizer build is one) runs fewer programs by default.
uint32_t ProgramCount() {
#ifdef NDEBUG
    return Setting("TARNWICK_DIFF_PROGRAMS", 200);
#else
    return Setting("TARNWICK_DIFF_PROGRAMS", 50);
#endif
}

uint32_t FirstSeed() {
    return Setting("TARNWICK_DIFF_SEED", 1);
}

// The project's own programs (those that read the wall clock cannot run alike twice), in a fixed
// order so that a seed picks the same one everywhere.
std::vector<std::pair<std::string, std::string>> ProjectPrograms() {
    std::vector<std::filesystem::path> paths;
    for (const char* folder : {"tests/programs", "examples", "bench/programs"}) {
        const std::filesystem::path dir = std::filesystem::path(TARNWICK_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".bas") paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::pair<std::string, std::string>> programs;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (diff::ReadsTheWallClock(text.str())) continue;
        programs.emplace_back(std::filesystem::relative(path, TARNWICK_SOURCE_DIR).generic_string(),
                              text.str());
    }
    return programs;
}

std::string Failure(const std::string& origin, uint32_t seed, const std::string& source,
                    const std::string& difference) {
    const std::string s = std::to_string(seed);
    return "The runs remembering and not remembering the program differ (" + origin + ", seed " +
           s + "; TARNWICK_DIFF_SEED=" + s + " TARNWICK_DIFF_PROGRAMS=1 repeats it alone).\n" +
           difference + "program:\n" + diff::Listing(source);
}

// A crash ends the test binary before any failure is reported: the program that was running is
// named first, so that it can be repeated.
char runningProgram[200];

extern "C" void NameTheRunningProgram(int signal) {
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, runningProgram, std::strlen(runningProgram));
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class RunningProgram {
public:
    RunningProgram(const std::string& origin, uint32_t seed) {
        std::snprintf(runningProgram, sizeof runningProgram,
                      "\nThe run of %s, seed %u, crashed (TARNWICK_DIFF_SEED=%u "
                      "TARNWICK_DIFF_PROGRAMS=1 repeats it).\n",
                      origin.c_str(), seed, seed);
        for (size_t i = 0; i < std::size(kSignals); ++i)
            previous_[i] = std::signal(kSignals[i], NameTheRunningProgram);
    }
    ~RunningProgram() {
        for (size_t i = 0; i < std::size(kSignals); ++i) std::signal(kSignals[i], previous_[i]);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

private:
    static constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    void (*previous_[std::size(kSignals)])(int);
};

// What the programs of one test did, so that a generator that stops producing useful programs
// is noticed.
struct Tally {
    uint32_t programs = 0, prepared = 0, stopped = 0, failed = 0, atLimit = 0, showing = 0;
    uint32_t differing = 0;

    // Compares the runs of one program; false once enough failures are reported.
    bool Check(const std::string& origin, uint32_t seed, const std::string& source) {
        ++programs;
        const RunningProgram running(origin, seed);
        const Comparison c = diff::CompareRuns(source);
        if (!c.prepared) return true;
        ++prepared;
        const diff::RunTrace& t = c.remembering;
        if (t.outcome == RunOutcome::Stopped) ++stopped;
        if (t.outcome == RunOutcome::Failed) ++failed;
        if (t.statements >= diff::RunOptions{}.maxStatements) ++atLimit;
        if (!t.debug.empty()) ++showing;
        if (c.difference.empty()) return true;
        ADD_FAILURE() << Failure(origin, seed, source, c.difference);
        return ++differing < 3;  // a few are enough to look at
    }
};

TEST(Differential, ProgramsAndMutationsFollowTheirSeed) {
    std::set<std::string> distinct;
    const auto project = ProjectPrograms();
    ASSERT_FALSE(project.empty());
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SeededChoices a(seed), b(seed);
        const std::string program = diff::GenerateProgram(a);
        EXPECT_EQ(program, diff::GenerateProgram(b)) << "seed " << seed;
        distinct.insert(program);

        const std::string& original = project[seed % project.size()].second;
        SeededChoices c(seed), d(seed);
        EXPECT_EQ(diff::MutateProgram(original, c), diff::MutateProgram(original, d));
    }
    EXPECT_EQ(distinct.size(), 20u);
}

TEST(Differential, ShrinkingMakesLoopCountsSmall) {
    EXPECT_EQ(diff::ShrinkCounts("LET N = 30000000\nFOR I = 1 TO 500000 STEP 2\nFOR J = 1 TO 100\n"
                                 "OUTPUTDEBUG 1000000\nREM 1000\n"),
              "LET N = 12\nFOR I = 1 TO 12 STEP 2\nFOR J = 1 TO 100\nOUTPUTDEBUG 1000000\n"
              "REM 1000\n");
    // Edge values are no counts.
    EXPECT_EQ(diff::ShrinkCounts("LET A = 2147483647\n"), "LET A = 2147483647\n");
}

TEST(Differential, GeneratedProgramsRunAlikeRememberingOrNot) {
    Tally tally;
    const uint32_t first = FirstSeed(), count = ProgramCount();
    for (uint32_t seed = first; seed < first + count; ++seed) {
        SeededChoices choices(seed);
        if (!tally.Check("a generated program", seed, diff::GenerateProgram(choices))) break;
    }
    // The generator writes programs that pass their test, show values, and end in every way: by
    // STOP, by a run-time error, and at the statement limit after repeating their rows.
    if (count >= 100) {
        EXPECT_GE(tally.prepared, tally.programs * 9 / 10);
        EXPECT_GE(tally.showing, tally.prepared / 3);
        EXPECT_GT(tally.stopped, 0u);
        EXPECT_GT(tally.failed, 0u);
        EXPECT_GT(tally.atLimit, 0u);
    }
}

TEST(Differential, MutatedProgramsRunAlikeRememberingOrNot) {
    const auto project = ProjectPrograms();
    ASSERT_GT(project.size(), 10u);
    Tally tally;
    const uint32_t first = FirstSeed(), count = ProgramCount();
    for (uint32_t seed = first; seed < first + count; ++seed) {
        const auto& [name, source] = project[seed % project.size()];
        SeededChoices choices(seed);
        if (!tally.Check("a mutation of " + name, seed, diff::MutateProgram(source, choices))) {
            break;
        }
    }
    if (count >= 100) {
        EXPECT_GE(tally.prepared, tally.programs / 2);
    }
}

// Every input that ever made the fuzzer fail runs alike now.
TEST(Differential, EveryKeptFuzzInputRunsAlike) {
    int files = 0;
    const std::filesystem::path kept =
        std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests/fuzz/regressions/differential";
    for (const auto& entry : std::filesystem::directory_iterator(kept)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string input((std::istreambuf_iterator<char>(file)), {});
        const std::string source = diff::ProgramFromFuzzInput(input);
        diff::RunOptions options;
        options.maxStatements = diff::kFuzzStatements;
        EXPECT_EQ(diff::CompareRuns(source, options).difference, "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(Differential, AStateThatDiffersIsShownAtItsStatement) {
    // A value changed behind the back of one run, as a wrong fast form would change it: the
    // comparison names the statement before which the tables first differ, and the entry.
    const std::string source =
        "LET A = 1\nFOR I = 1 TO 3\nLET A = A + I\nNEXT I\nOUTPUTDEBUG A\nSTOP\n";
    const Comparison c = diff::CompareRuns(source, {}, [](Interpreter& in, int64_t statement) {
        if (statement == 2) in.variables[in.variables.Find("A")].value = Value::Int(99);
    });
    ASSERT_TRUE(c.prepared);
    EXPECT_NE(c.difference.find("before statement 4\n"), std::string::npos) << c.difference;
    EXPECT_NE(c.difference.find("name=\"A\" kind=1 value=Int:\"99\""), std::string::npos)
        << c.difference;
    EXPECT_NE(c.difference.find("row 2: LET A = A + I"), std::string::npos) << c.difference;

    // Without the change the runs are alike.
    EXPECT_EQ(diff::CompareRuns(source).difference, "");
}

}  // namespace
}  // namespace tw
