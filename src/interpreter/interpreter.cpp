#include "interpreter/interpreter.h"

#include "frontend/names.h"
#include "interpreter/eval_scratch.h"

namespace tw {

Interpreter::Interpreter(Host& h) : Interpreter(h, ownRandom_) {}

Interpreter::Interpreter(Host& h, Random& r)
    : host(h), random(r), evalCache_(std::make_unique<EvalCache>()) {
    screens.overlay = &sprites;
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

void Interpreter::WatchRun(uint32_t startTick, int64_t timeoutMs) {
    watch_ = RunWatch{};
    watch_.active = true;
    watch_.startTick = startTick;
    watch_.timeoutMs = timeoutMs;
}

bool Interpreter::LookForStop() {
    const uint32_t now = host.TickCount();
    // A clock that passes drive does not move within a statement: every look is a real one.
    if (host.RealClock() && watch_.looked && now - watch_.lastLook < kGiveWayMs) return false;
    watch_.looked = true;
    watch_.lastLook = now;
    const bool escape = host.KeyDown(kVkEscape);
    const bool close = host.CloseRequested();
    if (!watch_.active) return escape || close;
    if (escape) stopRequested = true;
    if (close) stopRequested = quitRequested = true;
    if (watch_.timeoutMs > 0 && int64_t{now} - int64_t{watch_.startTick} >= watch_.timeoutMs) {
        stopRequested = true;
    }
    return stopRequested;
}

size_t Interpreter::TextsHeld() const {
    size_t total = 0;
    for (int i = 0; i < VariableTable::kSlots; ++i) total += variables[i].value.s.size();
    for (const ExpressionLevel& level : expressions.levels) total += level.value.s.size();
    return total;
}

void Interpreter::ReleaseSpareText() {
    expressions.bigTextHeld = false;
    for (ExpressionLevel& level : expressions.levels) {
        std::string& s = level.value.s;
        if (s.capacity() >= kBigText && s.capacity() / 2 > s.size()) std::string(s).swap(s);
    }
    if (scratchDepth_ != 0) return;
    for (const std::unique_ptr<EvalScratch>& sc : scratch_) {
        for (Cell& cell : sc->cells) {
            if (cell.s.capacity() < kBigText) continue;
            std::string().swap(cell.s);
            cell.text = {};
        }
        if (sc->text.capacity() >= kBigText) std::string().swap(sc->text);
    }
}

void Interpreter::PrepareProgram() {
    evalCache_->plans.clear();
    rowCommands.clear();
    rowWords.clear();
    rowCaches.clear();
    if (!program) return;
    rowCaches.resize(program->FilledRows() + 1);
    const int rows = program->FilledRows();
    rowCommands.reserve(rows + 1);
    rowWords.reserve(rows + 1);
    for (int r = 0; r <= rows; ++r) {  // the row after the last is the program's end
        std::string word = ToUpper(program->Cell(r, 0));
        rowCommands.push_back(word.empty() ? kEndOfProgram
                                           : static_cast<int16_t>(FindCommand(word)));
        rowWords.push_back(std::move(word));
    }
    quickRows.clear();
    if (!rememberProgram) return;
    quickRows.resize(rows + 1);
    for (int r = 0; r <= rows; ++r) {
        const int16_t command = rowCommands[r];
        if (command == kEndOfProgram || (command >= 0 && !IsCheapCommand(command))) continue;
        // A row of no command (a label, ENDIF) has no effect.
        QuickRow& quick = quickRows[r];
        quick.handler = command >= 0 ? commands.handlers[command] : DefaultCommandHandler;
        quick.run = command >= 0 ? commands.quick[command] : nullptr;
        quick.args = Args(program->Row(r));
        quick.cache = &rowCaches[r];
    }
}

std::string Interpreter::ToUpperName(std::string_view text) {
    return ToUpper(text);
}

std::string_view Interpreter::SlowRowWord(int r) const {
    slowWord_ = program ? ToUpper(program->Cell(r, 0)) : std::string();
    return slowWord_;
}

void DefaultCommandHandler(Interpreter&, const Args&, CommandResult& result) {
    result.ok = true;
}

void DefaultFunctionHandler(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    result.value = Value::Int(0);
}

}  // namespace tw
