#include "display/screens.h"

namespace tw {

void ResetDrawingColours(Interpreter&) {}
void CreateScreens(Interpreter&) {}
void StartDisplay(Interpreter&) {}
void StopDisplay(Interpreter&) {}
void FreeScreens(Interpreter&) {}
void FlipToDesktop(Interpreter&) {}
void UpdateDisplay(Interpreter&, bool) {}
void ReleaseHeldCanvases(Interpreter&) {}

}  // namespace tw
