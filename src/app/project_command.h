#pragma once
// tarnwick project: make and inspect project files.

namespace tw {

int ProjectVerb(int argc, char** argv);

}  // namespace tw
