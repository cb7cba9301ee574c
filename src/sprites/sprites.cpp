#include "sprites/sprites.h"

namespace tw {

void ResetSprites(SpriteTables&) {}
void ResetPaths(SpriteTables&) {}
void LoadPaths(SpriteTables&) {}
void AdvanceSpritePaths(SpriteTables&) {}

}  // namespace tw
