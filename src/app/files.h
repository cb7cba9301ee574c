#pragma once
// Small helpers of the tarnwick command: files and exit statuses.

#include <string>

namespace tw {

// Exit statuses every verb shares.
inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoInput = 66;

// The whole file; false with the reason when it cannot be read (a folder cannot).
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error);

// The path without its folder.
std::string BaseName(const std::string& path);

}  // namespace tw
