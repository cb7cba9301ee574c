#pragma once
// Small file helpers of the tarnwick command.

#include <string>

namespace tw {

// The whole file; false with the reason when it cannot be read (a folder cannot).
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error);

// The path without its folder.
std::string BaseName(const std::string& path);

}  // namespace tw
