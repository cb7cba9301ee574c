#include "services/keyboard.h"

namespace tw {

void StartKeyboardService(KeyBuffer& keys) {
    keys = KeyBuffer{};
}

void StopKeyboardService(KeyBuffer&) {}

}  // namespace tw
