#pragma once
// Writing a frame of the display to a file: an 8-bit BMP with its palette, or a PNG.

#include <string>

#include "platform/frame.h"

namespace tw {

// Writes the frame as an 8-bit BMP when the path ends in ".bmp" (any case), else as a PNG.
// False, with the reason, when it cannot.
bool WriteFrame(const Frame& frame, const std::string& path, std::string& error);

// Reads an 8-bit BMP or PNG back into a frame (tests compare palette indexes).
bool ReadFrame(const std::string& path, Frame& frame, std::string& error);

}  // namespace tw
