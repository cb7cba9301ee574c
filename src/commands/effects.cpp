// FADE: darkens the whole display to black, one palette step per vertical blank.

#include "commands/registry.h"
#include "display/screens.h"
#include "frontend/number_text.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// FADE n: for k = n down to 0, every component becomes (value * k) div n, each step applied to
// the value the previous one left. The hardware palette changes; the stored copy does not, and
// the palette stays dark afterwards.
void FadeCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    Screens& s = in.screens;
    ArgCursor a(in, args, result);
    int32_t n = 0;
    // The count is a literal. A first token that is no integer, and n = 0 (whose one step
    // divides by zero), fail.
    if (!ParseWholeNumber(a.Peek(), n) || n == 0) {
        result.Fail(ErrorId::FadeFailed, 0);
        return;
    }
    if (n < 0 || !DisplayStarted(s)) return;
    Palette working = s.screen->Entries();
    for (int64_t k = n; k >= 0; --k) {
        for (PaletteEntry& e : working) {
            e.red = static_cast<uint8_t>(int64_t{e.red} * k / n);
            e.green = static_cast<uint8_t>(int64_t{e.green} * k / n);
            e.blue = static_cast<uint8_t>(int64_t{e.blue} * k / n);
        }
        s.screen->WaitForVerticalBlank();
        s.screen->SetEntries(working);
        // A long fade gives way to a stop (Escape, the close button, a limit of the run); the
        // run loop then stops as it always does.
        if (in.GiveWay()) break;
    }
}

}  // namespace

void RegisterEffectCommands(CommandTable& commands) {
    commands.Bind(CommandId::FADE, FadeCommand);
}

}  // namespace tw
