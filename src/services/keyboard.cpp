#include "services/keyboard.h"

#include "interpreter/interpreter.h"

namespace tw {

void StartKeyboardService(Interpreter& in) {
    in.keys = KeyBuffer{};
}

void StopKeyboardService(Interpreter&) {}

}  // namespace tw
