#pragma once
// The state of the interpreter: every table of a run in one object, reached by handlers
// through a reference, so that a test can build a fresh interpreter in one line.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/token_buffer.h"
#include "frontend/validation.h"
#include "interpreter/expression.h"
#include "interpreter/results.h"
#include "interpreter/stacks.h"
#include "interpreter/variables.h"
#include "platform/host.h"
#include "services/keyboard.h"
#include "services/timers.h"

namespace tw {

enum class AngleUnit : uint8_t { Radians = 0, Degrees = 1 };

struct RunState {
    bool running = false;
    int32_t currentLine = -1;
    bool autoScreenUpdate = true;
    AngleUnit angleUnit = AngleUnit::Radians;
    int32_t statementCount = 0;
    uint32_t startTick = 0;
    uint32_t stopTick = 0;
    bool suspended = false;
};

// Limits a caller may put on a run; reaching one requests a stop as the Escape key does.
struct RunLimits {
    int64_t maxStatements = 0;  // 0: none
    int64_t timeoutMs = 0;      // 0: none
    int32_t watchdogAllowance = 1500000;
};

struct EvalScratch;

class Interpreter {
public:
    explicit Interpreter(Host& host);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    Host& host;
    // The program being run and the routines its first pass declared.
    const TokenBuffer* program = nullptr;
    const RoutineTable* routines = nullptr;
    std::string projectName;

    RunState run;
    RunLimits limits;
    bool stopRequested = false;
    bool quitRequested = false;
    bool timersInImmediateMode = true;

    VariableTable variables;
    ExpressionStack expressions;
    LoopStack loops;
    ProcedureStack procedures;
    GosubStack gosubs;
    TimerTable timers;
    KeyBuffer keys;
    CommandTable commands;
    FunctionTable functions;

    // The command index of each program row, resolved at the start of a run.
    std::vector<int16_t> rowCommands;

    // Working storage of the evaluator, one per nesting level of function calls.
    EvalScratch& AcquireScratch();
    void ReleaseScratch() { --scratchDepth_; }

private:
    std::vector<std::unique_ptr<EvalScratch>> scratch_;
    int scratchDepth_ = 0;
};

}  // namespace tw
