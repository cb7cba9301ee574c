#include "project/check_and_run.h"

#include <cmath>
#include <cstdio>

namespace tw {

std::string EditorCaption(std::string_view fileName) {
    return "Project : " + std::string(fileName);
}

std::string TokenizerFailureLine(std::string_view caption, std::string_view message) {
    return "Error : " + std::string(caption) + ": " + std::string(message);
}

std::string ValidatorFailureLine(std::string_view caption, std::string_view message) {
    return "Testing Error : " + std::string(caption) + ": " + std::string(message);
}

std::string FailureLine(std::string_view caption, const PrepareFailure& failure,
                        std::string_view place) {
    const std::string message = std::string(place) + failure.message;
    return failure.stage == PrepareFailure::Stage::Tokenizer
               ? TokenizerFailureLine(caption, message)
               : ValidatorFailureLine(caption, message);
}

std::vector<std::string> StatisticsLines(const RunState& run) {
    const uint32_t elapsed = run.stopTick - run.startTick;
    // With nothing counted there is no average to take; it shows as 0.00.
    const double average =
        run.statementCount != 0 ? static_cast<double>(elapsed) / run.statementCount : 0.0;
    // The "0.00" format rounds halves away from zero.
    const long long hundredths = std::llround(average * 100.0);
    char averageText[64];
    std::snprintf(averageText, sizeof averageText, "%lld.%02lld", hundredths / 100,
                  hundredths % 100);
    return {
        "Program Execution Concluded : " + std::to_string(run.statementCount) +
            " instructions executed.",
        "Program run time : " + std::to_string(elapsed / 1000) + " Seconds",
        "Average Instruction execution time : " + std::string(averageText) + " Milliseconds",
    };
}

RunFiles RunFilesOf(const ProjectState& project) {
    RunFiles files;
    for (int i = 0; i < kMaxProjectItems; ++i) {
        const ProjectItem& item = project.items[i];
        if (!item.used) continue;
        RunFile file;
        file.name = item.Name();
        file.isPath = item.kind == static_cast<uint8_t>(ItemKind::Path);
        file.data = std::span<const uint8_t>(item.data);
        if (file.isPath) {
            const ItemProperties& list = project.properties[i];
            for (size_t k = 0; k + 1 < list.size(); k += 2) {
                if (list[k] == "ID") {
                    file.id = list[k + 1];
                    break;
                }
            }
        }
        files.push_back(std::move(file));
    }
    return files;
}

// ---------------------------------------------------------------------------------------------
// Testing and running a project

namespace {

// The controls are off for the work and on again after it, however it ends.
class ControlsOff {
public:
    explicit ControlsOff(CheckAndRunHost& host) : host_(host) { host_.SetTestAndRunEnabled(false); }
    ~ControlsOff() { host_.SetTestAndRunEnabled(true); }
    ControlsOff(const ControlsOff&) = delete;
    ControlsOff& operator=(const ControlsOff&) = delete;

private:
    CheckAndRunHost& host_;
};

}  // namespace

bool TestProject(std::string_view source, std::string_view caption, MessagePane& pane,
                 CheckAndRunHost& host) {
    ControlsOff off(host);
    const PreparedProgram program =
        Prepare(std::string(source), PrepareMode::FirstFailure, host.Progress());
    if (!program.Ok()) {
        pane.AddLineAt(FailureLine(caption, program.failures[0]), program.failures[0].line);
        return false;
    }
    pane.Clear();
    return true;
}

std::optional<RunOutcome> RunProject(Interpreter& in, std::string_view source,
                                     const RunFiles& files, std::string_view caption,
                                     MessagePane& pane, CheckAndRunHost& host) {
    ControlsOff off(host);
    pane.Clear();
    std::optional<RunOutcome> outcome;
    const PreparedProgram program =
        Prepare(std::string(source), PrepareMode::FirstFailure, host.Progress());
    if (!program.Ok()) {
        pane.AddLineAt(FailureLine(caption, program.failures[0]), program.failures[0].line);
    } else {
        in.sprites.files = &files;
        const std::function<void()> repaint = [&host] { host.RepaintDuringRun(); };
        outcome = RunProgram(
            in, program, repaint, kRepaintInterval,
            [&host, &program] { return host.Observer(program); },
            [&host, &in] { return host.WhilePaused(in); });
        in.sprites.files = nullptr;
        if (in.run.failedRow >= 0) host.ShowErrorLine(program.SourceLine(in.run.failedRow));
    }
    for (const std::string& line : StatisticsLines(in.run)) pane.AddLine(line);
    pane.CaretToStart();
    return outcome;
}

bool CloseProject(ProjectState& project, const std::function<SaveAnswer()>& ask,
                  const std::function<void()>& save, const std::function<void()>& closeWindows) {
    if (project.projectModified) {
        switch (ask()) {
            case SaveAnswer::Cancel:
                return false;
            case SaveAnswer::Yes:
                save();
                break;
            case SaveAnswer::No:
                break;
        }
    }
    project.projectOpen = false;
    project.projectModified = false;
    closeWindows();
    return true;
}

}  // namespace tw
