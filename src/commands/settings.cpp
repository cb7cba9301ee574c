// SET: the settings of a run (automatic screen updates, the line style, the text cursor).

#include "commands/registry.h"
#include "display/screens.h"
#include "frontend/names.h"
#include "frontend/number_text.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// SET AUTO UPDATE ON: any other word switches automatic updating off.
void SetAutoUpdate(Interpreter& in, ArgCursor& a) {
    in.run.autoScreenUpdate = EqualsUpper(a.Peek(1), "ON");
}

// SET LINE n: the line style of the shared pen and of the current screen's pen.
void SetLine(Interpreter& in, ArgCursor& a) {
    int32_t style;
    if (!a.Whole().Integer(style)) return;
    if (style < 0 || style > 5) {
        a.result().Fail(ErrorId::SetLineStyle, 1);
        return;
    }
    Screens& s = in.screens;
    s.defaultPen.style = static_cast<PenStyle>(style);
    if (ScreenRecord* r = s.Open(s.currentScreen)) {
        r->surface->Canvas().penStyle = static_cast<PenStyle>(style);
    }
}

// SET CURS ( a , b , c , d , e , f , g , h ): whole-number literals only; the values have no
// further effect.
void SetCurs(ArgCursor& a) {
    for (int ahead = 1; ahead <= 15; ahead += 2) {
        int32_t value;
        if (!ParseWholeNumber(a.Peek(ahead), value)) {
            a.result().Fail(ErrorId::SetCursValues, 0);
            return;
        }
    }
}

// SET selects its form by its first word; a word that matches no form does nothing.
void SetCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    ArgCursor a(in, args, result);
    if (a.Keyword("AUTO"))
        SetAutoUpdate(in, a);
    else if (a.Keyword("LINE"))
        SetLine(in, a);
    else if (a.Keyword("CURS"))
        SetCurs(a);
}

}  // namespace

void RegisterSettingCommands(CommandTable& commands) {
    commands.Bind(CommandId::SET, SetCommand);
}

}  // namespace tw
