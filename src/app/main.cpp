// The `tarnwick` command.

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/environment_display.h"
#include "app/exit_status.h"
#include "app/project_command.h"
#include "commands/reference.h"
#include "display/frame_file.h"
#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"
#include "interpreter/run_session.h"
#include "platform/files.h"
#include "platform/headless/headless_host.h"
#include "project/check_and_run.h"
#include "project/twp_file.h"
#ifdef TARNWICK_HAVE_SDL
#include "platform/sdl/sdl_host.h"
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

constexpr int kExitStopped = 0;
constexpr int kExitMessage = 1;
constexpr int kExitTestFailed = 2;

const char* const kUsage =
    "usage: tarnwick [PROJECT.twp]\n"
    "       tarnwick run [options] FILE\n"
    "       tarnwick check [--all] FILE\n"
    "       tarnwick project new|add|list|extract|set ... (tarnwick project for its usage)\n"
    "       tarnwick help [WORD]\n"
    "\n"
    "With no command, or with a project, the environment starts (and opens the project).\n"
    "FILE is a program's source text, or a project (.twp), whose main code unit is used.\n"
    "run: runs FILE after testing it for errors.\n"
    "check: tests FILE for errors; prints nothing when it passes. --all reports every failing\n"
    "row instead of the first.\n"
    "help: the language reference: its first page and every word by family, or the entries\n"
    "of WORD (a command, a command's form or a function; exit status 1 when it has none).\n"
    "\n"
    "options of run:\n"
    "  --headless            run without a window\n"
    "  --stats               write the run statistics to stderr after the run\n"
    "  --max-statements N    request a stop when N statements have been counted\n"
    "  --timeout MS          request a stop after MS milliseconds of the run clock\n"
    "  --virtual-time        the clock starts at 0 and advances 1 ms per pass of the run loop\n"
    "  --watchdog MS         the watchdog's allowance in milliseconds (default 1500000)\n"
    "  --frame FILE          write the last frame shown (else the display at the end of the\n"
    "                        run) to FILE: an 8-bit BMP when FILE ends in .bmp, else a PNG\n"
    "  --scale N             show the window at N times the display size\n"
    "  --fullscreen          start full screen\n"
    "  --keys EVENTS         (headless) keys that go down and up: comma-separated T:+S and\n"
    "                        T:-S, scan code S at millisecond T of the run clock (Escape 1,\n"
    "                        Tab 15, Enter 28, A 30, left Shift 42, cursor up 200, ...)\n"
    "  --console LINE        (headless, repeatable) typed and entered in the console of a\n"
    "                        stopped run, in turn; then Tab leaves it. The lines the console\n"
    "                        adds go to stderr. Without it the console closes at once\n"
    "\n"
    "exit status: 0 stopped (STOP, QUIT, Escape, a limit); 1 ended by a message box;\n"
    "2 testing failed; 64 usage error; 66 FILE cannot be read; 69 no window can be opened (no\n"
    "display, or no environment).\n";

int UsageError(const std::string& reason) {
    std::fprintf(stderr, "tarnwick: %s\n%s", reason.c_str(), kUsage);
    return kExitUsage;
}

struct RunOptions {
    bool headless = false;
    bool stats = false;
    bool virtualTime = false;
    bool fullscreen = false;
    int64_t maxStatements = 0;
    int64_t timeoutMs = 0;
    int32_t watchdog = 1500000;
    int scale = 0;
    std::string frame;
    std::string file;
    std::vector<KeyEvent> keys;
    bool hasKeys = false;
    std::vector<std::string> consoleLines;
};

// A whole number in [minimum, maximum], or nothing.
std::optional<int64_t> ParseCount(const char* text, int64_t minimum, int64_t maximum) {
    if (!text || !*text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return std::nullopt;
    return value;
}

bool IsProjectFile(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".twp";
}

// A source file may hold 2001 lines; one larger than this is refused before it is read.
constexpr size_t kMaxSourceFileBytes = 16 * 1024 * 1024;

// Reads FILE for a verb: a source file's text, or a project's main code unit (the project is
// kept in `project`). Prints why it cannot and gives the exit status, or 0. `name` is the name
// the message lines use.
int ReadProgram(const std::string& file, std::string& text, std::string& name,
                std::unique_ptr<ProjectState>& project) {
    name = BaseName(file);
    if (IsProjectFile(file)) {
        HeadlessHost::Options options;
        options.debug = nullptr;
        HeadlessHost messages(options);
        project = std::make_unique<ProjectState>();
        if (LoadProjectForVerb(*project, file, messages) >= 0) return kExitNoInput;
        text = project->MainSource();
        name = project->fileName;
        return 0;
    }
    std::string error;
    if (!ReadWholeFile(file, kMaxSourceFileBytes, text, error)) {
        std::fprintf(stderr, "tarnwick: cannot read %s: %s\n", file.c_str(), error.c_str());
        return kExitNoInput;
    }
    return 0;
}

// A line to stderr, whole: a program's words may hold a NUL byte, which "%s" would stop at.
void ErrorLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

// Where a failure is, for a user fixing a file: "Line L: " for a line that does not fit, "Row R
// (line L): " for a row that breaks its rule.
std::string FailurePlace(const PrepareFailure& failure) {
    if (failure.stage == PrepareFailure::Stage::Tokenizer) {
        return "Line " + std::to_string(failure.line + 1) + ": ";
    }
    return "Row " + std::to_string(failure.row) + " (line " + std::to_string(failure.line + 1) +
           "): ";
}

// The language reference: its first page and every keyword by family, or a word's entries.
// Exit status 0, or 1 when the word has no entry.
int HelpVerb(int argc, char** argv) {
    if (argc > 1) return UsageError("help takes one WORD at most");
    if (argc == 0) {
        std::fputs(std::string(kReferenceIntroduction).c_str(), stdout);
        std::fputs("\nThe words, by family (tarnwick help WORD for an entry):\n\n", stdout);
        std::fputs(ReferenceIndex().c_str(), stdout);
        return kExitStopped;
    }
    const std::vector<const ReferenceEntry*> entries = FindReference(argv[0]);
    if (entries.empty()) {
        std::fprintf(stderr,
                     "tarnwick: the reference has no entry for %s (tarnwick help lists every "
                     "word)\n",
                     argv[0]);
        return 1;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) std::fputs("\n----\n\n", stdout);
        std::fputs(ReferenceText(*entries[i]).c_str(), stdout);
    }
    return kExitStopped;
}

int CheckVerb(int argc, char** argv) {
    bool all = false;
    std::string file;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--all") {
            all = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else if (file.empty()) {
            file = arg;
        } else {
            return UsageError("more than one FILE given (" + file + ", " + arg + ")");
        }
    }
    if (file.empty()) return UsageError("no FILE given");
    std::string text, name;
    std::unique_ptr<ProjectState> project;
    if (int status = ReadProgram(file, text, name, project)) return status;
    const std::string caption = EditorCaption(name);

    const PreparedProgram program =
        Prepare(text, all ? PrepareMode::EveryFailure : PrepareMode::FirstFailure);
    for (const PrepareFailure& failure : program.failures) {
        // A source that does not fit as a whole has no place of its own.
        const bool placed = all && failure.line >= 0;
        ErrorLine(FailureLine(caption, failure, placed ? FailurePlace(failure) : std::string()));
    }
    return program.Ok() ? kExitStopped : kExitTestFailed;
}

int RunVerb(int argc, char** argv) {
    RunOptions options;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--virtual-time") {
            options.virtualTime = true;
        } else if (arg == "--fullscreen") {
            options.fullscreen = true;
        } else if (arg == "--max-statements") {
            auto n = ParseCount(value(), 1, INT32_MAX);
            if (!n) return UsageError("--max-statements needs a whole number from 1 to 2147483647");
            options.maxStatements = *n;
        } else if (arg == "--timeout") {
            auto n = ParseCount(value(), 1, INT32_MAX);
            if (!n)
                return UsageError("--timeout needs a number of milliseconds from 1 to 2147483647");
            options.timeoutMs = *n;
        } else if (arg == "--watchdog") {
            auto n = ParseCount(value(), 0, INT32_MAX);
            if (!n)
                return UsageError("--watchdog needs a number of milliseconds from 0 to 2147483647");
            options.watchdog = static_cast<int32_t>(*n);
        } else if (arg == "--frame") {
            const char* path = value();
            if (!path || !*path) return UsageError("--frame needs a file name");
            options.frame = path;
        } else if (arg == "--scale") {
            auto n = ParseCount(value(), 1, 16);
            if (!n) return UsageError("--scale needs a whole number from 1 to 16");
            options.scale = static_cast<int>(*n);
        } else if (arg == "--keys") {
            const char* events = value();
            std::string why;
            if (!events || !ParseKeyEvents(events, options.keys, why)) {
                return UsageError("--keys needs events T:+S or T:-S" +
                                  (why.empty() ? std::string() : ": " + why));
            }
            options.hasKeys = true;
        } else if (arg == "--console") {
            const char* line = value();
            if (!line) return UsageError("--console needs a line to type");
            options.consoleLines.push_back(line);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else if (options.file.empty()) {
            options.file = arg;
        } else {
            return UsageError("more than one FILE given (" + options.file + ", " + arg + ")");
        }
    }
    if (options.file.empty()) return UsageError("no FILE given");
    if (!options.headless && (options.hasKeys || !options.consoleLines.empty())) {
        return UsageError("--keys and --console drive a run without a window: add --headless");
    }

    std::string text, name;
    std::unique_ptr<ProjectState> project;
    if (int status = ReadProgram(options.file, text, name, project)) return status;
    const std::string caption = EditorCaption(name);

    std::unique_ptr<Host> host;
#ifdef TARNWICK_HAVE_SDL
    if (!options.headless) {
        SdlHost::Options sdl;
        sdl.title = "Tarnwick - " + name;
        sdl.scale = options.scale;
        sdl.fullscreen = options.fullscreen;
        sdl.virtualTime = options.virtualTime;
        auto window = std::make_unique<SdlHost>(sdl);
        std::string why;
        if (!window->Open(why)) {
            std::fprintf(stderr,
                         "tarnwick: cannot open a window (%s); use --headless to run without one\n",
                         why.c_str());
            return kExitNoWindow;
        }
        host = std::move(window);
    }
#else
    if (!options.headless) {
        std::fprintf(stderr, "tarnwick: this build has no window; running headless\n");
    }
#endif
    if (!host) {
        HeadlessHost::Options headless;
        headless.virtualTime = options.virtualTime;
        headless.keys = std::move(options.keys);
        headless.consoleLines = std::move(options.consoleLines);
        // Only a frame file looks at the frames of a run without a window.
        headless.keepFrames = !options.frame.empty();
        host = std::make_unique<HeadlessHost>(headless);
    }

    // The command runs one program; the generator lives as long as it does.
    Random random;
    Interpreter in(*host, random);
    in.projectName = name;
    // A project's sprite and path files; a plain source file has none.
    const RunFiles files = project ? RunFilesOf(*project) : RunFiles{};
    if (project) in.sprites.files = &files;
    in.limits.maxStatements = options.maxStatements;
    in.limits.timeoutMs = options.timeoutMs;
    in.limits.watchdogAllowance = options.watchdog;

    auto finish = [&](int status) {
        std::fflush(stdout);
        if (options.stats) {
            for (const std::string& line : StatisticsLines(in.run)) {
                std::fprintf(stderr, "%s\n", line.c_str());
            }
        }
        return status;
    };

    const PreparedProgram program = Prepare(text);
    if (!program.Ok()) {
        ErrorLine(FailureLine(caption, program.failures[0]));
        return finish(kExitTestFailed);
    }
    const RunOutcome outcome = RunProgram(in, program);
    if (!options.frame.empty()) {
        std::string why;
        if (!WriteFrame(host->LastFrame(), options.frame, why)) {
            std::fprintf(stderr, "tarnwick: cannot write the frame to %s: %s\n",
                         options.frame.c_str(), why.c_str());
            // (The run's own outcome is in its messages; the missing file must not pass.)
            finish(0);
            return kExitCannotWrite;
        }
    }
    return finish(outcome == RunOutcome::Stopped ? kExitStopped : kExitMessage);
}

// A first argument that is no command but a project: a name ending in .twp, or a file that is
// there. The commands are looked for first.
bool NamesAProject(const std::string& argument) {
    if (argument.empty() || argument[0] == '-') return false;
    const auto dot = argument.rfind('.');
    if (dot != std::string::npos) {
        std::string extension = argument.substr(dot);
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".twp") return true;
    }
    struct stat info {};
    return ::stat(argument.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

#ifdef TARNWICK_HAVE_IDE
// The environment is a program of its own, beside this one, so that a run loads no Qt.
constexpr char kEnvironmentProgram[] = "tarnwick-environment";

// The path of the environment's program: the folder of this program's file, and its name.
std::string EnvironmentProgramPath() {
    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size());
    if (length <= 0 || static_cast<size_t>(length) >= self.size()) return {};
    self.resize(static_cast<size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + kEnvironmentProgram;
}
#endif

// Replaces this process with the environment, with the same arguments; returns only when it
// cannot.
int EnvironmentVerb(char** argv) {
#ifdef TARNWICK_HAVE_IDE
    if (!EnvironmentHasDisplay()) return NoDisplayForEnvironment("tarnwick");
    const std::string program = EnvironmentProgramPath();
    if (program.empty()) {
        std::fprintf(stderr,
                     "tarnwick: cannot start the environment: the folder of this program "
                     "(/proc/self/exe), where %s should be, cannot be read: %s\n",
                     kEnvironmentProgram, std::strerror(errno));
        return kExitNoWindow;
    }
    ::execv(program.c_str(), argv);
    std::fprintf(stderr,
                 "tarnwick: cannot start the environment: %s: %s (tarnwick starts the "
                 "environment from that program, in its own folder)\n",
                 program.c_str(), std::strerror(errno));
    return kExitNoWindow;
#else
    (void)argv;
    std::fprintf(stderr, "tarnwick: this build has no environment (it was built without Qt)\n");
    return kExitNoWindow;
#endif
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

int Verb(int argc, char** argv) {
    // No command, or a project's path: the environment.
    if (argc < 2) return EnvironmentVerb(argv);
    std::string verb = argv[1];
    if (verb == "run") return RunVerb(argc - 2, argv + 2);
    if (verb == "check") return CheckVerb(argc - 2, argv + 2);
    if (verb == "project") return ProjectVerb(argc - 2, argv + 2);
    if (verb == "help") return HelpVerb(argc - 2, argv + 2);
    if (verb == "--help" || verb == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (NamesAProject(verb)) return EnvironmentVerb(argv);
    return UsageError("unknown command " + verb);
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    try {
        return tw::Verb(argc, argv);
    } catch (const std::bad_alloc&) {
        // (A run turns this into its own run-time error; this is for the rest of a verb.)
        std::fputs("tarnwick: out of memory\n", stderr);
        return tw::kExitNoMemory;
    }
}
