#include "interpreter/prepare.h"

#include "validator/rules.h"

namespace tw {

namespace {

PrepareFailure ValidatorFailure(const ValiditySuccess& failure, const TokenBuffer& buffer) {
    PrepareFailure f;
    f.stage = PrepareFailure::Stage::Validator;
    f.message = failure.message;
    f.code = failure.code;
    f.row = failure.row;
    f.line = buffer.SourceLine(failure.row);
    return f;
}

}  // namespace

PreparedProgram Prepare(const std::vector<std::string>& lines, PrepareMode mode,
                        ProgressSink* progress) {
    PreparedProgram p;
    if (mode == PrepareMode::EveryFailure) {
        // Every line whose tokens do not fit, before anything else.
        for (size_t n = 0; n < lines.size(); ++n) {
            TokenizeLineResult line = TokenizeLine(lines[n]);
            if (!line.failed) continue;
            p.failures.push_back({PrepareFailure::Stage::Tokenizer, line.message, line.code, -1,
                                  static_cast<int32_t>(n)});
        }
        if (!p.Ok()) return p;
    }
    TokenizeSuccess filled = FillTokenBuffer(lines, p.buffer, progress);
    if (filled.failed) {
        p.failures.push_back(
            {PrepareFailure::Stage::Tokenizer, filled.message, filled.code, -1, filled.line});
        return p;
    }
    CommandValidationRules rules;
    if (mode == PrepareMode::FirstFailure) {
        ValiditySuccess valid = Validate_Command_Tokens(p.buffer, p.routines, rules, progress);
        if (!valid.ok) p.failures.push_back(ValidatorFailure(valid, p.buffer));
        return p;
    }
    for (const ValiditySuccess& failure : ValidateEveryRow(p.buffer, p.routines, rules)) {
        p.failures.push_back(ValidatorFailure(failure, p.buffer));
    }
    return p;
}

PreparedProgram Prepare(std::string_view source, PrepareMode mode, ProgressSink* progress) {
    return Prepare(SplitSourceLines(source), mode, progress);
}

}  // namespace tw
