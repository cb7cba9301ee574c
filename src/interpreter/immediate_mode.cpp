#include "interpreter/immediate_mode.h"

#include "interpreter/interpreter.h"

namespace tw {

// The console needs the keyboard device, which is not read yet: a stopped run leaves it at once.
void ImmediateMode(Interpreter&) {}

}  // namespace tw
