#pragma once
// The glue between the environment and the language machinery: testing and running a project
// (the lines they add to the message pane, the run statistics), closing a project with its save
// prompt, and the project's files as a run sees them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"
#include "interpreter/run_session.h"
#include "project/twp_file.h"

namespace tw {

// The source editor's caption for a project file name (without its folder).
std::string EditorCaption(std::string_view fileName);
// "Error : " + caption + ": " + the tokenizer's message.
std::string TokenizerFailureLine(std::string_view caption, std::string_view message);
// "Testing Error : " + caption + ": " + the validator's message.
std::string ValidatorFailureLine(std::string_view caption, std::string_view message);
// The message pane's line for a failure of the test before a run: the tokenizer's or the
// validator's form, with `place` ("Line 3: ", "Row 2 (line 3): ") before the message.
std::string FailureLine(std::string_view caption, const PrepareFailure& failure,
                        std::string_view place = {});

// The project's files as a run sees them (views of the items' bytes, valid while the project is
// unchanged): every used slot in order, with the "ID" of each path.
RunFiles RunFilesOf(const ProjectState& project);

// The three statistics lines that follow a run.
std::vector<std::string> StatisticsLines(const RunState& run);

// ---------------------------------------------------------------------------------------------
// Testing and running a project, as the environment's test and run controls do

// The editor window's message pane.
class MessagePane {
public:
    virtual ~MessagePane() = default;
    virtual void AddLine(std::string_view line) = 0;
    // A line about a place in the source: `sourceLine` is its 0-based line (-1: none). A pane
    // that leads to the line keeps it; the others show the line as AddLine does.
    virtual void AddLineAt(std::string_view line, int sourceLine) {
        (void)sourceLine;
        AddLine(line);
    }
    // Empties the pane (which hides it).
    virtual void Clear() = 0;
    // The caret goes to the pane's start, after a run.
    virtual void CaretToStart() {}
};

// What the environment does around a test or a run.
class CheckAndRunHost {
public:
    virtual ~CheckAndRunHost() = default;
    // The test and run controls (and the tool bar's timer) are off while the work goes on.
    virtual void SetTestAndRunEnabled(bool enabled) = 0;
    // Called between steps of a run, at most every kRepaintInterval ms: the windows repaint
    // (and take no input) so that the debug window shows OUTPUTDEBUG lines as they come.
    virtual void RepaintDuringRun() {}
    // Where the test before a run shows its progress (none: nowhere).
    virtual ProgressSink* Progress() { return nullptr; }
    // After a run that a run-time error ended (its box has been shown): the 0-based source line
    // of the failing row.
    virtual void ShowErrorLine(int sourceLine) { (void)sourceLine; }
    // A debugger for the run of `program`, or null for none (yet): asked when the run starts
    // and then every kRepaintInterval ms until it gives one, which is asked about every
    // statement from then on. A run that never gets one costs nothing more than a plain run.
    virtual RunObserver* Observer(const PreparedProgram& program) {
        (void)program;
        return nullptr;
    }
    // The debugger paused the run: returns when it is to go on (false: stop it).
    virtual bool WhilePaused(const Interpreter& in) {
        (void)in;
        return true;
    }
};

inline constexpr uint32_t kRepaintInterval = 100;

// Tests the source for errors: a failure adds its line to the pane; a program that passes
// clears the pane. True when it passes.
bool TestProject(std::string_view source, std::string_view caption, MessagePane& pane,
                 CheckAndRunHost& host);

// Clears the pane, tests the source and, when it passes, runs it on the interpreter (with the
// project's files) through a run session; then adds the three statistics lines, whether or not
// the program ran. The interpreter's host shows the run's message boxes. The outcome, or
// nothing when the program did not pass its test.
std::optional<RunOutcome> RunProject(Interpreter& in, std::string_view source,
                                     const RunFiles& files, std::string_view caption,
                                     MessagePane& pane, CheckAndRunHost& host);

// The answer to "Save Changes To This Project?".
enum class SaveAnswer : uint8_t { Yes, No, Cancel };

// Closes the project: a modified one asks first (Cancel: false, nothing changes; Yes: `save`
// runs, and the project closes whatever it did; No: it closes unsaved). `closeWindows` clears the
// editor's modified mark and hides the project view and the editor.
bool CloseProject(ProjectState& project, const std::function<SaveAnswer()>& ask,
                  const std::function<void()>& save, const std::function<void()>& closeWindows);

inline constexpr const char* kSaveChangesPrompt = "Save Changes To This Project?";

}  // namespace tw
