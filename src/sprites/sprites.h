#pragma once
// Sprites and the paths they move along.
//
// The run loop resets the sprite and path tables at a run start and moves path-driven sprites
// on the 20 ms tick. The tables are not built yet, so each call does nothing.

namespace tw {

class Interpreter;

void ResetSprites(Interpreter& in);
void ResetPaths(Interpreter& in);
// Loads the project's paths into the path table.
void LoadPaths(Interpreter& in);
// Moves every path-driven sprite one step.
void AdvanceSpritePaths(Interpreter& in);

}  // namespace tw
