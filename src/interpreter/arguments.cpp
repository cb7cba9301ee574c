#include "interpreter/arguments.h"

#include "interpreter/interpreter.h"

namespace tw {

const char* const kMsgInvalidCondition =
    "RTE (66) - Invalid Condition, Expression must return either boolean True or False.";

bool ValueToInteger(const Value& value, int32_t& out, TResult& result) {
    if (ToInt32(value, out)) return true;
    double number;
    if (ToDouble(value, number)) {
        result.Fail(21, 0, kMsgValueTooBig);
    } else {
        result.Fail(20, 0, kMsgTypeMismatch);
    }
    return false;
}

bool EvaluateInteger(Interpreter& in, const Args& tokens, int32_t& out, TResult& result) {
    EvalResult value = Evaluate(in, tokens);
    if (!value.ok) {
        result.CopyFailure(value);
        return false;
    }
    return ValueToInteger(value.value, out, result);
}

bool EvaluateCondition(Interpreter& in, const Args& tokens, int32_t& out, TResult& result) {
    EvalResult value = Evaluate(in, tokens);
    if (!value.ok) {
        result.CopyFailure(value);
        return false;
    }
    if (!ToInt32(value.value, out) || (out != kTrue && out != kFalse)) {
        result.Fail(66, 1, kMsgInvalidCondition);
        return false;
    }
    return true;
}

int ArgumentCount(const Args& args) {
    int n = 0;
    while (n < args.Count() && !args[n].empty()) ++n;
    return n;
}

void SplitArguments(const Args& args, int count, Args* parts) {
    const int n = ArgumentCount(args);
    int start = 0;
    int depth = 0;
    int part = 0;
    for (int i = 0; i < n && part < count - 1; ++i) {
        std::string_view t = args[i];
        if (t == "(")
            ++depth;
        else if (t == ")")
            --depth;
        else if (t == "," && depth == 0) {
            parts[part++] = args.Slice(start, i - start);
            start = i + 1;
        }
    }
    parts[part++] = args.Slice(start, n - start);
    while (part < count) parts[part++] = Args();
}

}  // namespace tw
