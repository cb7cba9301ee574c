#include "validator/expression_check.h"

#include "frontend/keywords.h"
#include "frontend/names.h"

namespace tw {

void StopWords::Set() {
    Clear();
    words_[0] = ",";
    words_[1] = "TO";
}

void StopWords::Clear() {
    for (auto& w : words_) w.clear();
}

bool StopWords::Matches(std::string_view token) const {
    for (const auto& w : words_) {
        if (!w.empty() && EqualsUpper(token, w)) return true;
    }
    return false;
}

namespace {

// The rule shared by the validation functions: every argument list passes.
TValid_Function_Success FunctionRule(const std::vector<std::string>&) {
    DebugTrace(TraceLevel::VALIDATOR, "**** FUNCTION, Validator started");
    DebugTrace(TraceLevel::VALIDATOR, "**** FUNCTION, Validator end");
    TValid_Function_Success result;
    result.ok = true;
    return result;
}

const ValidationFunction* FindValidationFunction(std::string_view token) {
    for (const ValidationFunction& f : kValidationFunctions) {
        if (!f.name.empty() && EqualsUpper(token, f.name)) return &f;
    }
    return nullptr;
}

}  // namespace

TStandard_Return ReduceExpression(const Args& args, int start, const StopWords& stops,
                                  const RoutineTable& routines, std::vector<std::string>& out) {
    TStandard_Return result;
    DebugTrace(TraceLevel::EXPRESSION, "**** Expression checking !!!");
    out.clear();
    auto fail = [&](std::string message) {
        result.ok = false;
        result.code = 5;
        result.message = std::move(message);
        return result;
    };
    for (int i = start < 0 ? 0 : start; i < args.Count() && !args[i].empty(); ++i) {
        std::string_view token = args[i];
        if (stops.Matches(token)) break;
        if (const InternalRoutine* routine = routines.Find(token)) {
            if (routine->kind == RoutineKind::Function) continue;  // its arguments follow
            return fail(
                "Error #005 : Testing Failed, error is expression caused by use of a procedure "
                "inside expression.");
        }
        if (const ValidationFunction* function = FindValidationFunction(token)) {
            if (function->parameterCount == 0) continue;
            if (args[i + 1] != "(") {
                return fail(
                    "Error #005 : Testing Failed, could not validate expression expected `(` "
                    "after function, <" +
                    std::string(args[i + 1]) + "> found.");
            }
            std::vector<std::string> call;
            int depth = 0;
            int k = i + 1;
            for (;; ++k) {
                std::string_view t = args[k];
                if (t.empty()) {
                    return fail(
                        "Error #005 : Testing Failed, could not validate expression expect `(` "
                        "but found end of command.");
                }
                call.emplace_back(t);
                if (t == "(")
                    ++depth;
                else if (t == ")" && --depth == 0)
                    break;
            }
            TValid_Function_Success checked = FunctionRule(call);
            if (!checked.ok) return fail(checked.message);
            out.emplace_back("999");
            i = k;
            continue;
        }
        out.emplace_back(token);
    }
    result.ok = true;
    return result;
}

bool CheckExpression(const std::vector<std::string>& tokens) {
    size_t count = 0;
    while (count < tokens.size() && !tokens[count].empty()) ++count;
    bool expectValue = true;
    int depth = 0;
    auto isOperator = [](const std::string& t) {
        return t == "+" || t == "-" || t == "/" || t == "\\" || t == "*";
    };
    for (size_t i = 0; i < count; ++i) {
        const std::string& t = tokens[i];
        if (t == "(") {
            ++depth;
            continue;
        }
        if (t == ")") {
            --depth;
            continue;
        }
        if (expectValue) {
            if (t == "\"") {
                // A lone quote opens a string; the next lone quote, up to position 200, closes it.
                size_t close = i + 1;
                while (close < count && close <= 200 && tokens[close] != "\"") ++close;
                if (close >= count || close > 200) {
                    DebugTrace(TraceLevel::VALIDATOR, "Unterminated string found!");
                    return false;
                }
                i = close;
            } else if (t.find_first_of("+-/\\*") != std::string::npos) {
                DebugTrace(TraceLevel::VALIDATOR,
                           "Error in expression, found a symbol instead of a value");
                return false;
            }
        } else if (!isOperator(t)) {
            return false;
        }
        expectValue = !expectValue;
    }
    if (expectValue) {
        DebugTrace(TraceLevel::VALIDATOR, "Expression terminates in a <operator>");
        return false;
    }
    if (depth > 0) {
        DebugTrace(TraceLevel::VALIDATOR, "Expression has too many/little brackets");
        return false;
    }
    return true;
}

}  // namespace tw
