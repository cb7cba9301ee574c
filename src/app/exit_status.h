#pragma once
// The exit statuses every verb of the tarnwick command, and the environment, share.

namespace tw {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoInput = 66;
// No window can be opened: no display, or no environment to open one.
inline constexpr int kExitNoWindow = 69;
// A file the verb writes (a project, an extracted item, a frame) cannot be written.
inline constexpr int kExitCannotWrite = 73;
// Memory ran out outside a run (a run ends with its own run-time error instead).
inline constexpr int kExitNoMemory = 71;

}  // namespace tw
