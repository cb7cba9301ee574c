#include "interpreter/interpreter.h"

#include "interpreter/eval_scratch.h"

namespace tw {

Interpreter::Interpreter(Host& h) : host(h) {
    variables.Reset();
    expressions.Reset();
    loops.Reset();
    commands.names = kCommandNames;
    functions.names = kFunctionNames;
    commands.handlers.fill(DefaultCommandHandler);
    functions.handlers.fill(DefaultFunctionHandler);
}

Interpreter::~Interpreter() = default;

EvalScratch& Interpreter::AcquireScratch() {
    if (scratchDepth_ >= static_cast<int>(scratch_.size())) {
        scratch_.push_back(std::make_unique<EvalScratch>());
    }
    return *scratch_[scratchDepth_++];
}

void DefaultCommandHandler(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

void DefaultFunctionHandler(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(0);
}

}  // namespace tw
