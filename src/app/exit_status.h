#pragma once
// The exit statuses every verb of the tarnwick command, and the environment, share.

namespace tw {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoInput = 66;
// No window can be opened: no display, or no environment to open one.
inline constexpr int kExitNoWindow = 69;

}  // namespace tw
