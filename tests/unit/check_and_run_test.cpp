// What testing and running a project adds to the message pane, the controls around the work,
// closing a project with its save prompt, and the per-user flags.

#include <gtest/gtest.h>

#include "platform/flags.h"
#include "project/check_and_run.h"
#include "test_support.h"

namespace tw {
namespace {

struct Pane : MessagePane {
    void AddLine(std::string_view line) override {
        lines.emplace_back(line);
        sourceLines.push_back(-1);
    }
    void AddLineAt(std::string_view line, int sourceLine) override {
        lines.emplace_back(line);
        sourceLines.push_back(sourceLine);
    }
    void Clear() override {
        lines.clear();
        sourceLines.clear();
        ++clears;
    }
    void CaretToStart() override { ++caretMoves; }
    std::vector<std::string> lines;
    std::vector<int> sourceLines;  // per line, the source line it leads to (-1: none)
    int clears = 0, caretMoves = 0;
};

struct Controls : CheckAndRunHost {
    void SetTestAndRunEnabled(bool enabled) override { changes.push_back(enabled); }
    void RepaintDuringRun() override { ++repaints; }
    void ShowErrorLine(int sourceLine) override { errorLines.push_back(sourceLine); }
    std::vector<bool> changes;
    std::vector<int> errorLines;
    int repaints = 0;
};

constexpr const char* kCaption = "Project : game.twp";

TEST(CheckAndRun, TestingAddsAFailureLineAndClearsThePaneWhenThePassIsClean) {
    Pane pane;
    Controls controls;
    // Two failing tests leave two lines: testing does not clear the pane first.
    EXPECT_FALSE(TestProject("HOME 5\n", kCaption, pane, controls));
    EXPECT_FALSE(TestProject("HOME 5\n", kCaption, pane, controls));
    ASSERT_EQ(pane.lines.size(), 2u);
    EXPECT_EQ(pane.lines[0].rfind("Testing Error : Project : game.twp: ", 0), 0u) << pane.lines[0];
    // A tokenizer failure (a line of more than 199 tokens) has its own form.
    std::string longLine = "OUTPUTDEBUG 1";
    for (int i = 0; i < 100; ++i) longLine += " + 1";
    EXPECT_FALSE(TestProject(longLine + "\n", kCaption, pane, controls));
    EXPECT_EQ(pane.lines[2].rfind("Error : Project : game.twp: ", 0), 0u) << pane.lines[2];
    // A program that passes empties (and so hides) the pane.
    EXPECT_TRUE(TestProject("LET A = 1\n", kCaption, pane, controls));
    EXPECT_TRUE(pane.lines.empty());
    // The controls are off during each test and on again after it.
    EXPECT_EQ(controls.changes, (std::vector<bool>{false, true, false, true, false, true, false,
                                                   true}));
}

TEST(CheckAndRun, RunningShowsTheStatisticsWhetherOrNotTheProgramRan) {
    test::RecordingHost host;
    Interpreter in(host);
    Pane pane;
    pane.lines = {"an old line"};
    Controls controls;
    const RunFiles files;
    // An invalid program: one failure line, then the three statistics lines; nothing runs.
    EXPECT_FALSE(RunProject(in, "OUTPUTDEBUG 1\nHOME 5\n", files, kCaption, pane, controls));
    ASSERT_EQ(pane.lines.size(), 4u);
    EXPECT_EQ(pane.lines[0].rfind("Testing Error : ", 0), 0u);
    EXPECT_EQ(pane.lines[1].rfind("Program Execution Concluded : ", 0), 0u);
    EXPECT_TRUE(host.debug.empty());
    // A valid one runs to its end; the host repaints now and then during a long run (here the
    // clock advances 1 ms a pass: the run looks at it every 16384 passes).
    host.advancePerPass = true;
    const std::optional<RunOutcome> outcome = RunProject(
        in, "FOR I = 1 TO 100000\nNEXT I\nOUTPUTDEBUG I\nQUIT\n", files, kCaption, pane, controls);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, RunOutcome::Stopped);
    EXPECT_EQ(host.debug, (std::vector<std::string>{"100001"}));
    ASSERT_EQ(pane.lines.size(), 3u);
    EXPECT_EQ(pane.lines[0], "Program Execution Concluded : 100003 instructions executed.");
    EXPECT_GE(controls.repaints, 5);
    EXPECT_EQ(pane.caretMoves, 2);
    EXPECT_EQ(controls.changes, (std::vector<bool>{false, true, false, true}));
}

// Every failure leads to the source line it is on, whatever rows the line was cut into.
TEST(CheckAndRun, FailuresLeadToTheirSourceLines) {
    Pane pane;
    Controls controls;
    // A validator failure on the fourth line, after a blank line and a REM line (no rows) and a
    // one-line IF (three rows).
    EXPECT_FALSE(TestProject("LET A = 1\n\nREM note\nIF A = 1 THEN LET B = 2 ELSE LET B = 3\n"
                             "HOME 5\n",
                             kCaption, pane, controls));
    ASSERT_EQ(pane.sourceLines.size(), 1u);
    EXPECT_EQ(pane.sourceLines[0], 4);
    // A failure inside the split IF: its line, not its row.
    EXPECT_FALSE(TestProject("LET A = 1\nIF A = 1 THEN HOME 5 ELSE LET B = 3\n", kCaption, pane,
                             controls));
    EXPECT_EQ(pane.sourceLines[1], 1);
    // A tokenizer failure: the line that does not fit.
    std::string longLine = "OUTPUTDEBUG 1";
    for (int i = 0; i < 100; ++i) longLine += " + 1";
    EXPECT_FALSE(TestProject("LET A = 1\n" + longLine + "\n", kCaption, pane, controls));
    EXPECT_EQ(pane.sourceLines[2], 1);
    // A failure of the whole program (too many lines) is on no line.
    std::string tooLong;
    for (int i = 0; i < 2002; ++i) tooLong += "LET A = 1\n";
    EXPECT_FALSE(TestProject(tooLong, kCaption, pane, controls));
    EXPECT_EQ(pane.sourceLines[3], -1);

    // A run-time error: after its box, the failing row's source line, once; the statistics
    // lead nowhere.
    test::RecordingHost host;
    Interpreter in(host);
    const RunFiles files;
    RunProject(in, "LET A = 1\nIF A = 1 THEN LET B = 1 / 0\nSTOP\n", files, kCaption, pane,
               controls);
    EXPECT_EQ(controls.errorLines, (std::vector<int>{1}));
    EXPECT_EQ(pane.sourceLines, (std::vector<int>{-1, -1, -1}));
    // A run that ends otherwise shows none.
    RunProject(in, "LET A = 1\nSTOP\n", files, kCaption, pane, controls);
    EXPECT_EQ(controls.errorLines.size(), 1u);
}

TEST(CheckAndRun, ClosingAModifiedProjectAsksFirst) {
    ProjectState project;
    NewProject(project);
    project.projectOpen = project.projectModified = true;
    int asked = 0, saved = 0, closed = 0;
    auto answer = [&](SaveAnswer a) {
        return [&asked, a] {
            ++asked;
            return a;
        };
    };
    auto save = [&] { ++saved; };
    auto close = [&] { ++closed; };
    EXPECT_FALSE(CloseProject(project, answer(SaveAnswer::Cancel), save, close));
    EXPECT_TRUE(project.projectOpen && project.projectModified);
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(CloseProject(project, answer(SaveAnswer::No), save, close));
    EXPECT_FALSE(project.projectOpen || project.projectModified);
    EXPECT_EQ(saved, 0);
    project.projectOpen = project.projectModified = true;
    EXPECT_TRUE(CloseProject(project, answer(SaveAnswer::Yes), save, close));
    EXPECT_EQ(saved, 1);
    // An unmodified project closes without a question.
    project.projectOpen = true;
    EXPECT_TRUE(CloseProject(project, answer(SaveAnswer::Cancel), save, close));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(closed, 3);
}

TEST(Flags, ReadTheirDefaultUntilWritten) {
    MemoryFlags flags;
    EXPECT_FALSE(flags.ReadFlag(kAlphaSection, kStartupFlag, false));
    EXPECT_TRUE(flags.ReadFlag(kTipsSection, kStartupFlag, true));
    flags.WriteFlag(kTipsSection, kStartupFlag, false);
    EXPECT_FALSE(flags.ReadFlag(kTipsSection, kStartupFlag, true));
    EXPECT_FALSE(flags.ReadFlag(kAlphaSection, kStartupFlag, false));
}

}  // namespace
}  // namespace tw
