#include "sprites/sprites.h"

namespace tw {

void ResetSprites(Interpreter&) {}
void ResetPaths(Interpreter&) {}
void LoadPaths(Interpreter&) {}
void AdvanceSpritePaths(Interpreter&) {}

}  // namespace tw
