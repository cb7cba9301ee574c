#pragma once
// The exit statuses every verb of the tarnwick command shares.

namespace tw {

inline constexpr int kExitUsage = 64;
inline constexpr int kExitNoInput = 66;

}  // namespace tw
