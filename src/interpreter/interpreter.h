#pragma once
// The state of the interpreter: every table of a run in one object, reached by handlers
// through a reference, so that a test can build a fresh interpreter in one line.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/screens.h"
#include "frontend/token_buffer.h"
#include "frontend/validation.h"
#include "interpreter/expression.h"
#include "interpreter/random.h"
#include "interpreter/results.h"
#include "interpreter/stacks.h"
#include "interpreter/variables.h"
#include "platform/host.h"
#include "services/keyboard.h"
#include "services/timers.h"
#include "sprites/sprites.h"

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
    uint32_t waitKeyMark = 0;  // the keyboard's produced count when WAIT KEY began
    // The row a run-time error ended the last run on (-1: it ended otherwise), kept after the
    // run for the environment, which shows the row's source line.
    int32_t failedRow = -1;
};

// Limits a caller may put on a run; reaching one requests a stop as the Escape key does.
struct RunLimits {
    int64_t maxStatements = 0;  // 0: none
    int64_t timeoutMs = 0;      // 0: none
    int32_t watchdogAllowance = 1500000;
};

struct EvalScratch;
struct EvalCache;

struct ExpressionPlan;
struct QuickExpression;

// What a command learns about its own row the first time it runs, so that the next time it
// need not learn it again. Everything here depends only on the program's tokens, which do not
// change during a run.
struct RowCache {
    std::string name;  // argument 0 in upper case (valid when `named`)
    bool named = false;
    VariableTable::Hint variable;    // where the variable that `name` names was found
    int32_t collected = -1;          // the first expression's token count (-1: not known yet)
    int32_t collectedEnd = 0;        // the position CollectExpression left
    ExpressionPlan* plan = nullptr;  // the evaluator's facts about that expression
    int32_t partner = -2;            // the row a scan found (-2: not known yet)
    std::vector<std::string> words;  // words a command took from the rows it found

    // The row's prepared form, for its command's quick form: made on the row's second run
    // (a row that runs once needs none). `prepared` is 0 before, 1 when made, -1 when the row
    // has none (its handler always runs).
    int8_t prepared = 0;
    int8_t runs = 0;
    size_t group = 0;                        // VariableTable::GroupOf(name)
    std::shared_ptr<QuickExpression> quick;  // the row's expression
    // A command with several expressions: each one's tokens and quick form (null: none).
    std::vector<Args> cuts;
    std::vector<std::shared_ptr<QuickExpression>> quicks;
};

// Commands that take a bounded, short time and touch neither the display nor the host: after
// one of them (with every expression on the quick path) the run loop need not look at the
// clock at once.
constexpr std::array<bool, kCommandCount> MakeCheapCommands() {
    std::array<bool, kCommandCount> cheap{};
    for (CommandId id :
         {CommandId::LET,   CommandId::IF,        CommandId::ELSE,      CommandId::GOTO,
          CommandId::GOSUB, CommandId::RETURN,    CommandId::EXITGOSUB, CommandId::FOR,
          CommandId::NEXT,  CommandId::DO,        CommandId::LOOP,      CommandId::REPEAT,
          CommandId::UNTIL, CommandId::WHILE,     CommandId::WEND,      CommandId::BREAK,
          CommandId::CALL,  CommandId::PROCEDURE, CommandId::ENDPROC,   CommandId::EXITPROC,
          CommandId::LOCAL, CommandId::GLOBAL,    CommandId::DIM,       CommandId::INC,
          CommandId::DEC,   CommandId::ADD,       CommandId::SUB,       CommandId::DEGREE,
          CommandId::RADIAN}) {
        cheap[Index(id)] = true;
    }
    return cheap;
}
inline constexpr std::array<bool, kCommandCount> kCheapCommands = MakeCheapCommands();
inline bool IsCheapCommand(int16_t command) {
    return command >= 0 && command < kCommandCount && kCheapCommands[command];
}

class Interpreter {
    // The generator of an interpreter that was given none.
    Random ownRandom_;

public:
    // `random` is the host's generator, which outlives the runs.
    Interpreter(Host& host, Random& random);
    // An interpreter with a generator of its own (a test, a one-run command).
    explicit Interpreter(Host& host);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    Host& host;
    Random& random;
    // The program being run and the routines its first pass declared.
    const TokenBuffer* program = nullptr;
    const RoutineTable* routines = nullptr;
    std::string projectName;

    RunState run;
    RunLimits limits;
    bool stopRequested = false;
    // Set by whatever may have taken long (a command that is not cheap, the full evaluator):
    // the run loop then reads a real clock and services the timers at once.
    bool pollSoon = false;
    bool quitRequested = false;
    bool timersInImmediateMode = true;

    VariableTable variables;
    ExpressionStack expressions;
    LoopStack loops;
    ProcedureStack procedures;
    GosubStack gosubs;
    TimerTable timers;
    KeyBuffer keys;
    Screens screens;
    SpriteTables sprites;
    CommandTable commands;
    FunctionTable functions;

    // Per row of the program, resolved once per run (the program cannot change during a run):
    // the index of its command word in the command table (-1 none, kEndOfProgram for an empty
    // row) and the command word in upper case.
    static constexpr int16_t kEndOfProgram = -2;
    std::vector<int16_t> rowCommands;
    std::vector<std::string> rowWords;
    std::vector<RowCache> rowCaches;  // as many as rowCommands
    // For each row of a cheap command or of none (a label, ENDIF), what runs it, with its
    // argument tokens and cache: the run loop's short way to it. A row without a handler here
    // goes the whole way. Empty when the program is not remembered.
    struct QuickRow {
        CommandHandler handler = nullptr;
        QuickCommand run = nullptr;  // the command's quick form, tried first
        Args args;
        RowCache* cache = nullptr;
    };
    std::vector<QuickRow> quickRows;
    // Whether commands and the evaluator keep what they learn about the program's rows (off
    // only to check that keeping it changes no result).
    bool rememberProgram = true;
    // Resolves the rows of `program` (rowCommands, rowWords, rowCaches, quickRows); after the
    // command table is built, whose handlers quickRows holds.
    void PrepareProgram();
    // Argument 0 in upper case, kept in the row's cache when there is one.
    std::string_view UpperName(const Args& args, RowCache* cache, std::string& scratch) {
        if (!cache) return scratch = ToUpperName(args[0]);
        if (!cache->named) {
            cache->name = ToUpperName(args[0]);
            cache->named = true;
        }
        return cache->name;
    }
    // The first variable with the name that `cache` holds (or `upper`), using the cache.
    int FindVariable(std::string_view upper, RowCache* cache) {
        return cache ? variables.Find(upper, cache->variable) : variables.Find(upper);
    }
    // The cache of the running row, when `args` are that row's own argument tokens.
    RowCache* CacheFor(const Args& args) {
        if (!rememberProgram || !args.FromProgram() || run.currentLine < 0 ||
            run.currentLine >= static_cast<int32_t>(rowCaches.size())) {
            return nullptr;
        }
        if (args[0].data() != program->Cell(run.currentLine, 1).data()) return nullptr;
        return &rowCaches[run.currentLine];
    }
    // The upper-case command word of row r; empty past the program.
    std::string_view RowWord(int r) const {
        if (r >= 0 && r < static_cast<int>(rowWords.size())) return rowWords[r];
        return SlowRowWord(r);
    }

    // Whether a statement that takes long should stop now. A handler's long loop asks it every
    // so often (each step of a fade, every 64 KiB of a text) and, on true, ends early with what
    // it has done; the run loop then stops as it does between statements. True when a stop is
    // requested; otherwise Escape, the window's close button and the run's time limit are
    // looked at (at most every kGiveWayMs ms of a real clock) and request the stop as the run
    // loop's own look does. Outside a running run (the console, whose lines run while the
    // stop request stands; a handler called by a test) only Escape and the close button are
    // looked at, and nothing is requested.
    bool GiveWay() { return (watch_.active && stopRequested) || LookForStop(); }
    static constexpr uint32_t kGiveWayMs = 2;
    // The run session's part: from the run clock's start to the stop, GiveWay looks at the
    // run's time limit (counted from `startTick`) and requests the stops.
    void WatchRun(uint32_t startTick, int64_t timeoutMs);
    void StopWatchingRun() { watch_.active = false; }

    // The total length of the texts that the variables and the expression stack's levels hold
    // (what the texts of a run keep between statements).
    size_t TextsHeld() const;
    // Whether those texts stay within kTextBudget; checked where a big text is stored.
    bool TextsWithinBudget() const { return TextsHeld() <= kTextBudget; }
    // Gives back storage that big texts no longer need: a level's storage beyond twice its
    // text (the level keeps its value, which a later expression may read), and the evaluator's
    // working copies. Between statements.
    void ReleaseSpareText();

    // Working storage of the evaluator, one per nesting level of function calls.
    EvalScratch& AcquireScratch();
    void ReleaseScratch() { --scratchDepth_; }
    // What the evaluator keeps about the program's expressions during a run.
    EvalCache& evalCache() { return *evalCache_; }

private:
    bool LookForStop();
    static std::string ToUpperName(std::string_view text);
    std::string_view SlowRowWord(int r) const;

    std::vector<std::unique_ptr<EvalScratch>> scratch_;
    mutable std::string slowWord_;
    int scratchDepth_ = 0;
    std::unique_ptr<EvalCache> evalCache_;
    struct RunWatch {
        bool active = false;
        uint32_t startTick = 0;
        int64_t timeoutMs = 0;  // 0: none
        bool looked = false;
        uint32_t lastLook = 0;
    };
    RunWatch watch_;
};

}  // namespace tw
