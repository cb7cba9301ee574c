#pragma once
// Whether the environment has a display to show its windows on, and what a command says when
// it has none. The tarnwick command asks before it hands over to the environment (so that a
// missing display costs no start of Qt), and the environment asks again when it is started by
// itself.

#include <cstdio>
#include <cstdlib>

#include "app/exit_status.h"

namespace tw {

// A display for Qt: an X server or a Wayland compositor named in the environment variables, or
// a platform chosen with QT_QPA_PLATFORM (offscreen needs none).
inline bool EnvironmentHasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || (platform && *platform);
}

// Says that there is no display, as `program`, and gives the exit status.
inline int NoDisplayForEnvironment(const char* program) {
    std::fprintf(stderr,
                 "%s: there is no display for the environment (DISPLAY is not set); "
                 "tarnwick run --headless runs a program without one\n",
                 program);
    return kExitNoWindow;
}

}  // namespace tw
