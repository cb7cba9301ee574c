#include "project/debugging.h"

#include <algorithm>

#include "interpreter/value.h"

namespace tw {

void Debugger::Resume(Mode mode) {
    mode_ = mode;
    resuming_ = pausedRow_ >= 0;
    pausedRow_ = -1;
}

void Debugger::Continue() {
    Resume(Mode::Run);
}

void Debugger::StepInto() {
    Resume(Mode::Pause);
}

void Debugger::StepOver() {
    stepDepth_ = pausedDepth_;
    Resume(Mode::StepOver);
}

void Debugger::RunToLine(int line) {
    targetLine_ = line;
    Resume(Mode::RunToLine);
}

void Debugger::RequestPause() {
    mode_ = Mode::Pause;
}

int CallDepth(const Interpreter& in) {
    return in.gosubs.depth + in.procedures.depth;
}

RunObserver::Action Debugger::BeforeStatement(const Interpreter& in, int32_t row) {
    const int line = program_.SourceLine(row);
    if (resuming_) {
        // The row the run paused before runs now.
        resuming_ = false;
        lastLine_ = line;
        return Action::Run;
    }
    bool stop = false;
    switch (mode_) {
        case Mode::Run:
            break;
        case Mode::Pause:
            stop = true;
            break;
        case Mode::StepOver:
            stop = CallDepth(in) <= stepDepth_;
            break;
        case Mode::RunToLine:
            stop = line == targetLine_ && line != lastLine_;
            break;
    }
    // A breakpoint stops the run when it comes to the line, not at each of the line's rows.
    if (!stop && line != lastLine_ && line >= 0 && breakpoints_.count(line) != 0) stop = true;
    if (stop) {
        pausedRow_ = row;
        pausedDepth_ = CallDepth(in);
        return Action::Pause;
    }
    lastLine_ = line;
    return Action::Run;
}

// ---------------------------------------------------------------------------------------------
// What a paused run shows

namespace {

std::string KindName(uint8_t kind) {
    switch (static_cast<VariableKind>(kind)) {
        case VariableKind::Integer:
            return "Integer";
        case VariableKind::Real:
            return "Real";
        default:
            break;
    }
    return IsIntegerKind(kind) ? "Integer" : "String";
}

int LineOf(const PreparedProgram& program, int32_t row) {
    return row < 0 ? -1 : program.SourceLine(row);
}

}  // namespace

std::vector<Watch> Watches(const Interpreter& in) {
    std::vector<Watch> watches;
    for (int i = 0; i < VariableTable::kSlots; ++i) {
        const Variable& v = in.variables[i];
        if (v.name.empty()) continue;
        Watch w;
        w.name = v.name;
        w.value = TextOf(v.value);
        w.kind = KindName(v.kind);
        // The main program's variables are everyone's; a procedure's are its own.
        w.scope = v.isLocal && !v.owner.empty() ? "Local (" + v.owner + ")" : "Global";
        watches.push_back(std::move(w));
    }
    std::sort(watches.begin(), watches.end(),
              [](const Watch& a, const Watch& b) { return a.name < b.name; });
    return watches;
}

std::vector<StackEntry> CallStack(const Interpreter& in, const PreparedProgram& program) {
    std::vector<StackEntry> entries;
    for (int i = in.procedures.depth - 1; i >= 0; --i) {
        const ProcedureFrame& f = in.procedures.frames[i];
        if (!f.inUse) continue;
        entries.push_back({"CALL " + f.name, LineOf(program, f.returnLine)});
    }
    for (int i = in.gosubs.depth - 1; i >= 0; --i) {
        const GosubFrame& f = in.gosubs.frames[i];
        if (!f.inUse) continue;
        entries.push_back({"GOSUB", LineOf(program, f.returnLine)});
    }
    return entries;
}

std::vector<StackEntry> LoopStack(const Interpreter& in, const PreparedProgram& program) {
    // The running loop is the active entry; the loops around it follow from parent to parent.
    std::vector<StackEntry> entries;
    int e = in.loops.FirstActive();
    for (int guard = 0; e >= 0 && e < LoopStack::kEntries && guard < LoopStack::kEntries;
         ++guard) {
        const LoopEntry& entry = in.loops.entries[e];
        std::string what;
        switch (entry.kind) {
            case LoopKind::For:
                what = "FOR " + in.variables[entry.variableSlot].name;
                break;
            case LoopKind::Do:
                what = "DO";
                break;
            case LoopKind::RepeatOrWhile:
                what = "REPEAT/WHILE";
                break;
            case LoopKind::Free:
                return entries;
        }
        entries.push_back({what, LineOf(program, entry.startLine)});
        e = entry.parent;
    }
    return entries;
}

std::vector<TimerEvent> TimerEvents(const Interpreter& in) {
    std::vector<TimerEvent> events;
    for (int i = 0; i < TimerTable::kSlots; ++i) {
        const TimerSlot& t = in.timers.Slot(i);
        if (t.active) events.push_back({t.name, t.interval, t.lastService});
    }
    return events;
}

RunStatistics Statistics(const Interpreter& in, uint32_t now) {
    RunStatistics s;
    s.statements = static_cast<uint32_t>(in.run.statementCount);
    s.milliseconds = static_cast<uint32_t>(now - in.run.startTick);
    s.perSecond = s.milliseconds > 0 ? s.statements * 1000.0 / s.milliseconds : 0.0;
    return s;
}

}  // namespace tw
