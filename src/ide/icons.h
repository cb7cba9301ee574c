#pragma once
// The environment's tool-button and tree icons, drawn by the program itself so that they look the
// same on every desktop and need no icon theme.

#include <QIcon>

namespace tw {

enum class IconId {
    NewProject, Open, Save, Close, Cut, Copy, Paste, SelectAll, Find, SearchAgain, Replace,
    GotoLine, Run, Test, Information, Source, Bitmap, Sprite, Path, Music, Sound, Pause,
    TraceInto, StepOver, Indent, Unindent, Comment, Uncomment, Undo, Redo, Breakpoint,
    NextProcedure, PreviousProcedure, Options,
};

// The icon, drawn once and kept.
QIcon Icon(IconId id);

}  // namespace tw
