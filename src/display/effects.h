#pragma once
// Display effects: FADE.

#include "interpreter/results.h"

namespace tw {

void RegisterEffectCommands(CommandTable& commands);

}  // namespace tw
