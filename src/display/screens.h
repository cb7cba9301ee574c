#pragma once
// The screens of a run and their composition onto the display.
//
// The run loop drives the display through these calls. The screen table, the surfaces and the
// composition are not built yet, so each call does nothing and a run draws nothing.

namespace tw {

class Interpreter;

// The run's pen, brush, ink and brush colours at the start of a run.
void ResetDrawingColours(Interpreter& in);
// Creates the screen object and the 16 screen records.
void CreateScreens(Interpreter& in);
// Enters the display mode and opens screen 0.
void StartDisplay(Interpreter& in);
// Leaves the display mode.
void StopDisplay(Interpreter& in);
// Frees the screen object and every screen surface.
void FreeScreens(Interpreter& in);
// Tells the display to show the desktop surface.
void FlipToDesktop(Interpreter& in);
// Composes the open screens and the sprites onto the back surface, and flips when asked.
void UpdateDisplay(Interpreter& in, bool flip);
// Releases the canvas of every open screen that holds one.
void ReleaseHeldCanvases(Interpreter& in);

}  // namespace tw
