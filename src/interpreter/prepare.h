#pragma once
// Preparing a program to run: its source lines cut into token rows and tested for errors. The
// one path from source text to a runnable program, shared by the command line, the environment
// and the tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/token_buffer.h"
#include "frontend/tokenize.h"
#include "frontend/validation.h"

namespace tw {

struct PrepareFailure {
    enum class Stage : uint8_t {
        Tokenizer,  // the source does not fit the token buffer
        Validator,  // a row breaks its command's rule (or the first pass failed)
    };
    Stage stage = Stage::Tokenizer;
    std::string message;  // the tokenizer's or validator's message, as the message pane shows it
    int32_t code = 0;
    int32_t row = -1;   // the failing row (validator), or -1
    int32_t line = -1;  // the source line (0-based) the failure is on, or -1 when none is
};

struct PreparedProgram {
    TokenBuffer buffer;
    RoutineTable routines;
    // Empty when the program may run.
    std::vector<PrepareFailure> failures;

    bool Ok() const { return failures.empty(); }
    // The source line (0-based) a row was cut from, or -1.
    int SourceLine(int row) const { return buffer.SourceLine(row); }
};

enum class PrepareMode : uint8_t {
    FirstFailure,  // stop at the first failure, as the test before a run does
    EveryFailure,  // every line that does not fit, else every failing row
};

PreparedProgram Prepare(const std::vector<std::string>& lines,
                        PrepareMode mode = PrepareMode::FirstFailure,
                        ProgressSink* progress = nullptr);
// The same for a source text; lines end at CR LF, LF or CR.
PreparedProgram Prepare(std::string_view source, PrepareMode mode = PrepareMode::FirstFailure,
                        ProgressSink* progress = nullptr);

}  // namespace tw
