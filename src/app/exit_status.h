#pragma once
// The exit statuses every verb of the tarnwick command, and the environment, share.

namespace tw {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoInput = 66;
// No window can be opened: no display, or no environment to open one.
inline constexpr int kExitNoWindow = 69;
// A file the verb writes (a project, an extracted item, a frame) cannot be written.
inline constexpr int kExitCannotWrite = 73;

}  // namespace tw
