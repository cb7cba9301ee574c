// SET: the settings of a run (automatic screen updates, the line style, the text console, the
// text cursor, tab stops).

#include <algorithm>

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

// SET TEXT GRID ON|OFF and SET TEXT PREFORMATTING ON|OFF: the current screen's text console.
// In grid mode the text font asks for a fixed pitch.
void SetText(Interpreter& in, ArgCursor& a) {
    Screens& s = in.screens;
    TextState& t = s.records[std::clamp(s.currentScreen, 0, kScreenCount - 1)].text;
    const bool grid = a.Keyword("GRID");
    if (!grid && !a.Keyword("PREFORMATTING")) return;
    if (!a.NextIs("ON") && !a.NextIs("OFF")) {
        a.result().Fail(ErrorId::OnOrOff, 2);
        return;
    }
    const uint8_t on = a.NextIs("ON") ? 1 : 0;
    if (grid) {
        t.gridMode = on;
        t.font.fixedPitch = on == 1;
    } else {
        t.preformatting = on;
    }
}

// SET TAB n: the tab stops of the current screen's console, n characters apart. No range is
// enforced; a value that is no integer fails.
void SetTab(Interpreter& in, ArgCursor& a) {
    int32_t width;
    if (!a.Whole().OnBadValue(ErrorId::SetTabValue, 2).Integer(width)) return;
    Screens& s = in.screens;
    s.records[std::clamp(s.currentScreen, 0, kScreenCount - 1)].text.tabWidth = width;
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
    else if (a.Keyword("TEXT"))
        SetText(in, a);
    else if (a.Keyword("CURS"))
        SetCurs(a);
    else if (a.Keyword("TAB"))
        SetTab(in, a);
}

}  // namespace

void RegisterSettingCommands(CommandTable& commands) {
    commands.Bind(CommandId::SET, SetCommand);
}

}  // namespace tw
