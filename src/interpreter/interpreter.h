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

    // Per row of the program, resolved once per run (the program cannot change during a run):
    // the index of its command word in the command table (-1 none, kEndOfProgram for an empty
    // row) and the command word in upper case.
    static constexpr int16_t kEndOfProgram = -2;
    std::vector<int16_t> rowCommands;
    std::vector<std::string> rowWords;
    void PrepareProgram();
    // The upper-case command word of row r; empty past the program.
    std::string_view RowWord(int r) const {
        if (r >= 0 && r < static_cast<int>(rowWords.size())) return rowWords[r];
        return SlowRowWord(r);
    }

    // Working storage of the evaluator, one per nesting level of function calls.
    EvalScratch& AcquireScratch();
    void ReleaseScratch() { --scratchDepth_; }

private:
    std::string_view SlowRowWord(int r) const;

    std::vector<std::unique_ptr<EvalScratch>> scratch_;
    mutable std::string slowWord_;
    int scratchDepth_ = 0;
};

}  // namespace tw
