#pragma once
// The glue between the environment and the language machinery: the lines that testing and
// running add to the message pane, and the run statistics.

#include <string>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.h"

namespace tw {

// The source editor's caption for a project file name (without its folder).
std::string EditorCaption(std::string_view fileName);
// "Error : " + caption + ": " + the tokenizer's message.
std::string TokenizerFailureLine(std::string_view caption, std::string_view message);
// "Testing Error : " + caption + ": " + the validator's message.
std::string ValidatorFailureLine(std::string_view caption, std::string_view message);

// The three statistics lines that follow a run.
std::vector<std::string> StatisticsLines(const RunState& run);

}  // namespace tw
