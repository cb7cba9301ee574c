#include "commands/registry.h"

namespace tw {

void RegisterAllCommands(CommandTable& commands, FunctionTable& functions) {
    RegisterAssignmentCommands(commands);
    RegisterMiscCommands(commands, functions);
}

}  // namespace tw
