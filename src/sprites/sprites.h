#pragma once
// Sprites and the paths they move along.
//
// The run resets the sprite and path tables at its start and moves path-driven sprites on the
// 20 ms tick. The tables have no entries yet, so each call does nothing.

namespace tw {

// The sprite, image and path tables of a run; the interpreter owns one.
struct SpriteTables {};

void ResetSprites(SpriteTables& sprites);
void ResetPaths(SpriteTables& sprites);
// Loads the project's paths into the path table.
void LoadPaths(SpriteTables& sprites);
// Moves every path-driven sprite one step.
void AdvanceSpritePaths(SpriteTables& sprites);

}  // namespace tw
