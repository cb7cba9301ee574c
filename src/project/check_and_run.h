#pragma once
// The glue between the environment and the language machinery: the lines that testing and
// running add to the message pane, and the run statistics.

#include <string>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"
#include "project/twp_file.h"

namespace tw {

// The source editor's caption for a project file name (without its folder).
std::string EditorCaption(std::string_view fileName);
// "Error : " + caption + ": " + the tokenizer's message.
std::string TokenizerFailureLine(std::string_view caption, std::string_view message);
// "Testing Error : " + caption + ": " + the validator's message.
std::string ValidatorFailureLine(std::string_view caption, std::string_view message);
// The message pane's line for a failure of the test before a run: the tokenizer's or the
// validator's form, with `place` ("Line 3: ", "Row 2 (line 3): ") before the message.
std::string FailureLine(std::string_view caption, const PrepareFailure& failure,
                        std::string_view place = {});

// The project's files as a run sees them (views of the items' bytes, valid while the project is
// unchanged): every used slot in order, with the "ID" of each path.
RunFiles RunFilesOf(const ProjectState& project);

// The three statistics lines that follow a run.
std::vector<std::string> StatisticsLines(const RunState& run);

}  // namespace tw
