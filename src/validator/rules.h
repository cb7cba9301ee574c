#pragma once
// The validation rules that the test before a run applies to each row.

#include "frontend/validation.h"
#include "validator/expression_check.h"

namespace tw {

// The rule table of the 144 validation names. Every entry starts with the accepting rule and 24
// get their own; command words outside the table are accepted.
class CommandValidationRules final : public ValidationRules {
public:
    void BeginPass() override;
    void EndPass() override;
    ValidCommandSuccess Check(int entry, const Args& args, const RoutineTable& routines) override;
    ValidCommandSuccess CheckUnlisted(const Args& args, const RoutineTable& routines) override;

private:
    StopWords stops_;
};

}  // namespace tw
