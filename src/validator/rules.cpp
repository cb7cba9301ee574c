#include "validator/rules.h"

namespace tw {

namespace {

ValidCommandSuccess NullCommandRule(const Args&, const RoutineTable&) {
    DebugTrace(TraceLevel::VALIDATOR, "**** NULL COMMAND, Validator end");
    DebugTrace(TraceLevel::VALIDATOR, "**** NULL COMMAND, Validator end");
    ValidCommandSuccess result;
    result.ok = true;
    return result;
}

}  // namespace

ValidCommandSuccess CommandValidationRules::Check(int, const Args& args,
                                                  const RoutineTable& routines) {
    return NullCommandRule(args, routines);
}

ValidCommandSuccess CommandValidationRules::CheckUnlisted(const Args& args,
                                                          const RoutineTable& routines) {
    return NullCommandRule(args, routines);
}

}  // namespace tw
