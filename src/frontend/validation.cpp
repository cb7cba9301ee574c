#include "frontend/validation.h"

#include "frontend/names.h"

namespace tw {

const InternalRoutine* RoutineTable::Find(std::string_view upper) const {
    for (const auto& slot : slots_) {
        if (slot && slot->name == upper) return &*slot;
    }
    return nullptr;
}

ValidCommandSuccess AcceptAllRules::Check(int, const Args&, const RoutineTable&) {
    ValidCommandSuccess ok;
    ok.ok = true;
    return ok;
}

ValidCommandSuccess AcceptAllRules::CheckUnlisted(const Args&, const RoutineTable&) {
    ValidCommandSuccess ok;
    ok.ok = true;
    return ok;
}

namespace {

// Reads "( name , name ... )" from column 3 on. True when the list closed with ")".
bool ParameterListCloses(const TokenRow& row) {
    int c = 3;
    for (;;) {
        if (c >= kTokenColumns || row[c].empty() || !IsValidName(row[c])) return false;
        ++c;
        if (c >= kTokenColumns) return false;
        if (row[c] == ")") return true;
        if (row[c] != ",") return false;
        ++c;
    }
}

}  // namespace

ValiditySuccess Perform_First_Pass(const TokenBuffer& buffer, RoutineTable& routines) {
    ValiditySuccess result;
    routines.Clear();
    auto fail = [&](int r, std::string message) {
        result.ok = false;
        result.code = 4;
        result.row = r;
        result.message = std::move(message);
        return result;
    };
    // The buffer's end reads as an empty row, so a program that fills all 2001 rows ends
    // cleanly instead of failing with an empty message.
    for (int r = 0; r <= kTokenRows; ++r) {
        const TokenRow& row = buffer.Row(r);
        UpperCopy word(row[0]);
        if (word.view().empty()) {
            result.ok = true;
            return result;
        }
        const bool isProcedure = word.view() == "PROCEDURE";
        const bool isFunction = word.view() == "FUNCTION";
        if (!isProcedure && !isFunction) continue;

        int free = -1;
        for (int i = 0; i < RoutineTable::kSlots; ++i) {
            if (!routines.Slot(i)) {
                free = i;
                break;
            }
        }
        if (free < 0) {
            return fail(r,
                        "maximum number of procedure / functions exceeded, current limit 10. "
                        "Please increase procedure/function buffer space.");
        }
        std::string name = ToUpper(row[1]);
        if (!IsValidName(name))
            return fail(r, "<" + name + "> is not a valid procedure/function name.");
        for (int i = 0; i < RoutineTable::kSlots; ++i) {
            const auto& slot = routines.Slot(i);
            if (!slot || slot->name != name) continue;
            if (slot->kind == RoutineKind::Procedure && isFunction) {
                return fail(r, "Procedure <" + name + "> redeclared as a function.");
            }
            if (slot->kind == RoutineKind::Function && isProcedure) {
                return fail(r, "Function <" + name + "> redeclared as a procedure.");
            }
            return fail(r, "Function/Procedure <" + name +
                               "> redeclared. You cannot declare a procedure/function twice.");
        }
        std::string paren = ToUpper(row[2]);
        if (paren != "(" && !paren.empty())
            return fail(r, "expected '(' but found '" + paren + "'");

        InternalRoutine routine;
        routine.name = name;
        routine.kind = isProcedure ? RoutineKind::Procedure : RoutineKind::Function;
        if (paren.empty()) {
            routines.Slot(free) = routine;
            continue;
        }
        // An unclosed list records nothing; the row's own rule reports it.
        if (!ParameterListCloses(row)) continue;
        int commas = 0;
        for (int c = 0; c < kTokenColumns && !row[c].empty(); ++c) {
            if (row[c] == ",") ++commas;
        }
        routine.parameterCount = 1 + commas;
        routines.Slot(free) = routine;
    }
    return result;
}

ValiditySuccess Validate_Command_Tokens(const TokenBuffer& buffer, RoutineTable& routines,
                                        ValidationRules& rules, ProgressSink* progress) {
    ProgressSink none;
    ProgressSink& gauge = progress ? *progress : none;
    ValiditySuccess result;
    rules.BeginPass();

    ValiditySuccess first = Perform_First_Pass(buffer, routines);
    if (!first.ok) {
        result.ok = false;
        result.code = first.code;
        result.message =
            "Error #004 : Testing Failed, the following problem arised during the first pass : " +
            first.message;
        result.row = first.row;
        result.entry = first.entry;
        return result;
    }

    gauge.Show(kGaugeGreen, kTokenRows - 1);
    gauge.Pump();
    auto failWith = [&](int r, int entry, ValidCommandSuccess& rule) {
        result.ok = false;
        result.code = rule.code;
        result.message =
            "Error #003 : Testing Failed, could not test this program because " + rule.message;
        result.row = r;
        result.entry = entry;
        gauge.Hide();
        return result;
    };
    for (int r = 0; r <= kTokenRows; ++r) {
        const TokenRow& row = buffer.Row(r);
        UpperCopy word(row[0]);
        if (word.view().empty()) {
            gauge.Set(kTokenRows - 1);
            gauge.Pump();
            result.ok = true;
            rules.EndPass();
            gauge.Hide();
            return result;
        }
        DebugTrace(TraceLevel::TOKENIZER,
                   "Tokenizer found " + std::string(word.view()) + " executing validation routine");
        gauge.Set(r);
        const Args args(row);
        // The validation names are unique, so at most one entry matches.
        int entry = FindValidationCommand(word);
        if (entry >= 0) {
            ValidCommandSuccess rule = rules.Check(entry, args, routines);
            if (!rule.ok) return failWith(r, entry, rule);
        } else {
            ValidCommandSuccess rule = rules.CheckUnlisted(args, routines);
            if (!rule.ok) return failWith(r, -1, rule);
        }
    }
    gauge.Hide();
    return result;  // unreachable: the buffer always ends with an empty row
}

}  // namespace tw

namespace tw {

std::vector<ValiditySuccess> ValidateEveryRow(const TokenBuffer& buffer, RoutineTable& routines,
                                              ValidationRules& rules) {
    std::vector<ValiditySuccess> failures;
    rules.BeginPass();
    ValiditySuccess first = Perform_First_Pass(buffer, routines);
    if (!first.ok) {
        first.message =
            "Error #004 : Testing Failed, the following problem arised during the first pass : " +
            first.message;
        failures.push_back(first);
    }
    for (int r = 0; !buffer.RowEmpty(r); ++r) {
        const TokenRow& row = buffer.Row(r);
        const Args args(row);
        int entry = FindValidationCommand(UpperCopy(row[0]));
        ValidCommandSuccess rule =
            entry >= 0 ? rules.Check(entry, args, routines) : rules.CheckUnlisted(args, routines);
        if (rule.ok) continue;
        ValiditySuccess failure;
        failure.code = rule.code;
        failure.message =
            "Error #003 : Testing Failed, could not test this program because " + rule.message;
        failure.row = r;
        failure.entry = entry;
        failures.push_back(failure);
    }
    rules.EndPass();
    return failures;
}

}  // namespace tw
