#pragma once
// Result records and handler signatures shared by every command and function.

#include <array>
#include <cstdint>
#include <string>

#include "frontend/keywords.h"
#include "frontend/token_buffer.h"
#include "interpreter/errors.h"
#include "interpreter/value.h"

namespace tw {

class Interpreter;

// A failure as every operation reports it: the complete message, its number, and the position
// of the offending token (0 when none is named).
struct TResult {
    bool ok = true;
    std::string message;
    int32_t code = 0;
    int32_t token = 0;

    // Fails with an entry of the error table, passing the values its placeholders take (none
    // or one). The entry is checked while compiling: a wrong number of values does not build.
    // (Out of line and cold: failing is rare, and the handlers stay small.)
    [[gnu::cold]] void Fail(CheckedError<0> error, int32_t failToken);
    [[gnu::cold]] void Fail(CheckedError<1> error, int32_t failToken, const ErrorArg& value);
    // Fails with an entry chosen at run time (one that a handler was given), which takes no
    // values.
    [[gnu::cold]] void FailWith(ErrorId id, int32_t failToken);
    // Takes over another operation's failure whole.
    template <typename Other>
    void CopyFailure(const Other& other) {
        ok = false;
        message = other.message;
        code = other.code;
        token = other.token;
    }
    // Takes over another operation's failure, at a token of its own.
    template <typename Other>
    void CopyFailure(const Other& other, int32_t atToken) {
        CopyFailure(other);
        token = atToken;
    }
};

// The result record of a command handler. A handler receives it failed with an empty message
// and must set ok itself.
struct CommandResult : TResult {
    CommandResult() { ok = false; }
};

// The result record of a function handler.
struct FunctionResult : TResult {
    Value value;
    FunctionResult() { ok = false; }
};

// Every command handler has this shape: the interpreter, the statement's 200 argument tokens,
// and the result record to fill.
using CommandHandler = void (*)(Interpreter& in, const Args& args, CommandResult& result);
// Every function handler: the interpreter, the raw tokens between the call's parentheses
// (51 slots), and the result record.
using FunctionHandler = void (*)(Interpreter& in, const Args& args, FunctionResult& result);

void DefaultCommandHandler(Interpreter& in, const Args& args, CommandResult& result);
void DefaultFunctionHandler(Interpreter& in, const Args& args, FunctionResult& result);

struct RowCache;

// A command's quick form: what its handler does, on the running row's prepared form (kept in
// the row's cache). It returns true when it ran the statement (the result record filled as the
// handler fills it), false when it cannot decide, having changed nothing: the handler then runs.
using QuickCommand = bool (*)(Interpreter& in, const Args& args, RowCache& row,
                              CommandResult& result);

struct CommandTable {
    std::array<std::string_view, kCommandCount> names{};
    std::array<CommandHandler, kCommandCount> handlers{};
    std::array<QuickCommand, kCommandCount> quick{};
    void Bind(CommandId id, CommandHandler handler) { handlers[Index(id)] = handler; }
    void BindQuick(CommandId id, QuickCommand run) { quick[Index(id)] = run; }
};

// A function's quick form: what its handler does once its arguments are evaluated, given their
// values (which it may take over). It returns false when it cannot decide (a value that does
// not convert, a result the handler would refuse), having changed nothing: the handler then
// runs from the start and reports what it reports.
using QuickFunction = bool (*)(Interpreter& in, Value* args, Value& out);
// A one-argument function's value at a number (what its quick form gives for an argument that
// converts to x); false when it cannot decide, as for the quick form.
using QuickNumberFunction = bool (*)(const Interpreter& in, double x, double& y);

struct QuickFunctionForm {
    QuickFunction run = nullptr;
    // How the handler cuts the call's tokens: 0, all of them are one expression; n, at the top
    // level commas into n parts.
    uint8_t parts = 0;
    // For a function of one number with a real value: the same on numbers (else null).
    QuickNumberFunction number = nullptr;
};

struct FunctionTable {
    std::array<std::string_view, kFunctionCount> names{};
    std::array<FunctionHandler, kFunctionCount> handlers{};
    // Only for functions that depend on nothing but their arguments and the angle mode.
    std::array<QuickFunctionForm, kFunctionCount> quick{};
    void Bind(FunctionId id, FunctionHandler handler) { handlers[Index(id)] = handler; }
    void BindQuick(FunctionId id, QuickFunction run, uint8_t parts,
                   QuickNumberFunction number = nullptr) {
        quick[Index(id)] = QuickFunctionForm{run, parts, number};
    }
};

}  // namespace tw
