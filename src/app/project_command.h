#pragma once
// tarnwick project: make and inspect project files.

#include <string>

namespace tw {

class Host;
struct ProjectState;

int ProjectVerb(int argc, char** argv);

// Loads FILE for a verb, with the project model's messages going to `host`. When it cannot,
// says why on stderr (a file that cannot be read, with the reason) and gives the exit status;
// -1 when the project is open.
int LoadProjectForVerb(ProjectState& project, const std::string& file, Host& host);

}  // namespace tw
