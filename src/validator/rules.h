#pragma once
// The validation rules that the test before a run applies to each row.

#include "frontend/validation.h"

namespace tw {

// The rule table of the 144 validation names: every entry holds the accepting default rule,
// and command words outside the table are accepted.
class CommandValidationRules final : public ValidationRules {
public:
    ValidCommandSuccess Check(int entry, const Args& args, const RoutineTable& routines) override;
    ValidCommandSuccess CheckUnlisted(const Args& args, const RoutineTable& routines) override;
};

}  // namespace tw
