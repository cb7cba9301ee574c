// The `tarnwick-environment` program: the environment on its own, so that the tarnwick command
// loads no Qt. The tarnwick command replaces itself with this program, with the same arguments,
// when it is run with no command or with a project's path:
//
//   tarnwick-environment [PROJECT.twp] [Qt's options]
//
// The first argument, when there is one, is the project to open; Qt takes its own options
// (-platform, -style, ...) from the rest.

#include <QString>
#include <cstdio>

#include "app/environment_display.h"
#include "app/exit_status.h"
#include "ide/environment.h"

int main(int argc, char** argv) {
    // Without a display Qt would end the process with a message of its own.
    if (!tw::EnvironmentHasDisplay()) return tw::NoDisplayForEnvironment("tarnwick-environment");
    QString project;
    if (argc >= 2) {
        if (argv[1][0] == '-') {
            std::fprintf(stderr,
                         "tarnwick-environment: unknown option %s\n"
                         "usage: tarnwick-environment [PROJECT.twp]\n",
                         argv[1]);
            return tw::kExitUsage;
        }
        project = QString::fromLocal8Bit(argv[1]);
    }
    return tw::RunEnvironment(argc, argv, project);
}
