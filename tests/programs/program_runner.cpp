// Runs every program of a folder with the tarnwick command and compares what it prints and how
// it ends with the files beside it:
//   NAME.bas     the program
//   NAME.out     expected stdout (missing: empty)
//   NAME.err     expected stderr (missing: empty)
//   NAME.status  expected exit status (missing: 0)
//   NAME.args    extra options for `tarnwick run`, whitespace-separated, "double" or 'single'
//                quotes around one with blanks (always --headless)
//   NAME.files   the program runs as the main code unit of a project that also holds these
//                files of assets/, one per line: KIND FILE [ID] (ID: a path's "ID" property)
//
// usage: program_tests TARNWICK FOLDER [NAME-FILTER]

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "display/frame_file.h"
#include "platform/files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string g_tarnwick;
fs::path g_folder;

std::string ReadFile(const fs::path& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ReadFile(const fs::path& path) {
    bool exists;
    return ReadFile(path, exists);
}

struct Outcome {
    std::string out, err;
    int status = -1;
};

// A pipe whose two ends close themselves.
struct Pipe {
    Pipe() {
        int fds[2];
        if (pipe(fds) == 0) {
            readEnd = tw::UniqueFd(fds[0]);
            writeEnd = tw::UniqueFd(fds[1]);
        }
    }
    tw::UniqueFd readEnd, writeEnd;
};

// This process's environment variables without those that name a display for the
// environment, and with `extra` ("NAME=VALUE") added.
std::vector<std::string> EnvironmentWithoutDisplay(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> variables;
    for (char** v = environ; *v; ++v) {
        const std::string variable = *v;
        const std::string name = variable.substr(0, variable.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM") {
            variables.push_back(variable);
        }
    }
    variables.insert(variables.end(), extra.begin(), extra.end());
    return variables;
}

// Runs argv, collecting stdout and stderr through pipes; with `variables`, as its environment,
// else with this process's.
Outcome RunProcess(const std::vector<std::string>& args,
                   const std::vector<std::string>* variables = nullptr) {
    Pipe outPipe, errPipe;
    if (!outPipe.readEnd.Valid() || !errPipe.readEnd.Valid()) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe.writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe.writeEnd.Get(), 2);
    posix_spawn_file_actions_addclose(&actions, outPipe.readEnd.Get());
    posix_spawn_file_actions_addclose(&actions, errPipe.readEnd.Get());
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    if (variables) {
        for (const auto& v : *variables) envp.push_back(const_cast<char*>(v.c_str()));
        envp.push_back(nullptr);
    }
    pid_t pid;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                         variables ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    outPipe.writeEnd.Close();
    errPipe.writeEnd.Close();
    Outcome outcome;
    auto drain = [](const tw::UniqueFd& fd, std::string& into) {
        char buf[4096];
        ssize_t n;
        while ((n = read(fd.Get(), buf, sizeof buf)) > 0) into.append(buf, n);
    };
    std::thread errReader(drain, std::cref(errPipe.readEnd), std::ref(outcome.err));
    drain(outPipe.readEnd, outcome.out);
    errReader.join();
    if (rc != 0) return outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

// A line diff that is good enough to read a failure.
std::string Diff(const std::string& expected, const std::string& actual) {
    auto lines = [](const std::string& s) {
        std::vector<std::string> out;
        std::istringstream in(s);
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    };
    auto e = lines(expected), a = lines(actual);
    std::ostringstream d;
    size_t n = std::max(e.size(), a.size());
    for (size_t i = 0; i < n; ++i) {
        const std::string* el = i < e.size() ? &e[i] : nullptr;
        const std::string* al = i < a.size() ? &a[i] : nullptr;
        if (el && al && *el == *al) {
            d << "  " << *el << "\n";
            continue;
        }
        if (el) d << "- " << *el << "\n";
        if (al) d << "+ " << *al << "\n";
    }
    return d.str();
}

// Whitespace-separated words; a word that starts with a double (or single) quote runs to the
// next one.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        size_t end;
        if (text[i] == '"' || text[i] == '\'') {
            end = text.find(text[i], i + 1);
            if (end == std::string::npos) end = text.size();
            words.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        end = i;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

// Makes a project of the program and the files NAME.files lists; its path, or empty (with the
// test failed) when a step fails.
fs::path MakeProject(const fs::path& program, const std::string& list) {
    const fs::path dir =
        fs::temp_directory_path() /
        ("tarnwick_program_" + std::to_string(getpid()) + "_" + program.stem().string());
    fs::create_directories(dir);
    const fs::path project = dir / (program.stem().string() + ".twp");
    fs::remove(project);
    auto step = [](const std::vector<std::string>& args) {
        Outcome made = RunProcess(args);
        EXPECT_EQ(made.status, 0) << args[2] << " failed: " << made.err;
        return made.status == 0;
    };
    if (!step({g_tarnwick, "project", "new", project.string(), "--source", program.string()})) {
        return {};
    }
    std::istringstream lines(list);
    int slot = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        ++slot;
        if (words.size() < 2 || !step({g_tarnwick, "project", "add", project.string(), words[0],
                                       (g_folder / "assets" / words[1]).string()})) {
            ADD_FAILURE() << "bad line in the files list: " << line;
            return {};
        }
        if (words.size() > 2 && !step({g_tarnwick, "project", "set", project.string(),
                                       std::to_string(slot), "ID", words[2]})) {
            return {};
        }
    }
    return project;
}

class ProgramTest : public testing::Test {
public:
    explicit ProgramTest(fs::path program) : program_(std::move(program)) {}
    void TestBody() override {
        fs::path base = program_;
        base.replace_extension();
        std::vector<std::string> args = {g_tarnwick, "run", "--headless"};
        for (std::string& a : Words(ReadFile(fs::path(base.string() + ".args")))) {
            args.push_back(std::move(a));
        }
        bool hasFiles;
        const std::string files = ReadFile(fs::path(base.string() + ".files"), hasFiles);
        fs::path run = program_;
        if (hasFiles) {
            run = MakeProject(program_, files);
            if (run.empty()) return;
        }
        args.push_back(run.string());

        bool hasStatus;
        std::string statusText = ReadFile(fs::path(base.string() + ".status"), hasStatus);
        int expectedStatus = hasStatus ? std::stoi(statusText) : 0;
        std::string expectedOut = ReadFile(fs::path(base.string() + ".out"));
        std::string expectedErr = ReadFile(fs::path(base.string() + ".err"));

        Outcome got = RunProcess(args);
        EXPECT_EQ(got.status, expectedStatus) << "exit status of " << program_.filename();
        EXPECT_TRUE(got.out == expectedOut) << "stdout differs:\n" << Diff(expectedOut, got.out);
        EXPECT_TRUE(got.err == expectedErr) << "stderr differs:\n" << Diff(expectedErr, got.err);
    }

private:
    fs::path program_;
};

// The command line itself: usage errors, unreadable files.
TEST(Cli, UsageAndInputErrors) {
    Outcome unknown = RunProcess({g_tarnwick, "frobnicate"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("unknown command frobnicate"), std::string::npos);
    EXPECT_NE(unknown.err.find("usage: tarnwick [PROJECT.twp]"), std::string::npos);
    // With no command, or with a project, the environment starts; without a display it says
    // so (and so does the environment's own program, started by itself).
    const std::vector<std::string> noDisplay = EnvironmentWithoutDisplay();
    const fs::path project = g_folder / "no such project.twp";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{g_tarnwick}, {g_tarnwick, project.string()}}) {
        Outcome none = RunProcess(args, &noDisplay);
        EXPECT_EQ(none.status, 69) << args.size();
        EXPECT_EQ(none.err,
                  "tarnwick: there is no display for the environment (DISPLAY is not set); "
                  "tarnwick run --headless runs a program without one\n");
    }
    const fs::path environment = fs::path(g_tarnwick).parent_path() / "tarnwick-environment";
    if (fs::exists(environment)) {
        Outcome none = RunProcess({environment.string(), project.string()}, &noDisplay);
        EXPECT_EQ(none.status, 69);
        EXPECT_NE(none.err.find("there is no display for the environment"), std::string::npos)
            << none.err;
    }

    Outcome noFile = RunProcess({g_tarnwick, "run", "--headless"});
    EXPECT_EQ(noFile.status, 64);
    EXPECT_EQ(noFile.err.rfind("tarnwick: no FILE given\n", 0), 0u) << noFile.err;

    Outcome badOption = RunProcess({g_tarnwick, "run", "--frobnicate", "x.bas"});
    EXPECT_EQ(badOption.status, 64);
    EXPECT_EQ(badOption.err.rfind("tarnwick: unknown option --frobnicate\n", 0), 0u);

    for (const char* bad : {"abc", "0", "-5", "99999999999", ""}) {
        Outcome r = RunProcess({g_tarnwick, "run", "--headless", "--max-statements", bad, "x.bas"});
        EXPECT_EQ(r.status, 64) << bad;
    }
    Outcome missingValue = RunProcess({g_tarnwick, "run", "--headless", "--timeout"});
    EXPECT_EQ(missingValue.status, 64);

    Outcome twoFiles = RunProcess({g_tarnwick, "run", "--headless", "a.bas", "b.bas"});
    EXPECT_EQ(twoFiles.status, 64);

    Outcome unreadable =
        RunProcess({g_tarnwick, "run", "--headless", (g_folder / "no such file.bas").string()});
    EXPECT_EQ(unreadable.status, 66);
    EXPECT_NE(unreadable.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(unreadable.out, "");

    Outcome folder = RunProcess({g_tarnwick, "run", "--headless", g_folder.string()});
    EXPECT_EQ(folder.status, 66);
}

// The environment is the program beside the tarnwick command; a tarnwick without it (or a build
// without the environment) says that there is none, and which file it looked for.
TEST(Cli, TheEnvironmentIsMissing) {
    const fs::path dir = fs::temp_directory_path() / ("tarnwick_alone_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path alone = dir / "tarnwick";
    fs::copy_file(g_tarnwick, alone);
    const std::vector<std::string> display = EnvironmentWithoutDisplay({"DISPLAY=:65000"});
    const bool built = fs::exists(fs::path(g_tarnwick).parent_path() / "tarnwick-environment");
    for (const std::vector<std::string>& args : {std::vector<std::string>{alone.string()},
                                                 {alone.string(), (dir / "game.twp").string()}}) {
        Outcome missing = RunProcess(args, &display);
        EXPECT_EQ(missing.status, 69) << args.size();
        if (built) {
            EXPECT_EQ(missing.err.rfind("tarnwick: cannot start the environment: " +
                                            (dir / "tarnwick-environment").string() +
                                            ": No such file or directory",
                                        0),
                      0u)
                << missing.err;
        } else {
            EXPECT_NE(missing.err.find("this build has no environment"), std::string::npos)
                << missing.err;
        }
    }
    fs::remove_all(dir);
}

// --frame writes the last frame shown, palette indexes and palette included.
TEST(Cli, FrameFile) {
    const fs::path dir = fs::temp_directory_path();
    const fs::path program = dir / "tarnwick_frame_program.bas";
    {
        std::ofstream out(program);
        out << "CLS 300\nPLOT 10, 20, 4\nSCREEN OPEN 1, 10, 10\nCLS 249\n"
               "SCREEN OFFSET 1, 100, 50\nDISPLAY UPDATE\nSTOP\n";
    }
    for (const char* name : {"tarnwick_frame.bmp", "tarnwick_frame.png"}) {
        const fs::path frame = dir / name;
        Outcome run = RunProcess(
            {g_tarnwick, "run", "--headless", "--frame", frame.string(), program.string()});
        EXPECT_EQ(run.status, 0) << run.err;
        tw::Frame f;
        std::string error;
        ASSERT_TRUE(tw::ReadFrame(frame.string(), f, error)) << error;
        EXPECT_EQ(f.width, 800);
        EXPECT_EQ(f.height, 600);
        EXPECT_EQ(f.indices[20 * 800 + 10], 4);
        EXPECT_EQ(f.indices[300 * 800 + 400], 44);
        EXPECT_EQ(f.indices[55 * 800 + 105], 249);
        EXPECT_EQ(f.palette[249].red, 255);
        std::remove(frame.string().c_str());
    }
    // A run that never flipped still leaves the display as it was at the end.
    const fs::path frame = dir / "tarnwick_frame_end.bmp";
    {
        std::ofstream out(program);
        out << "CLS 7\nSTOP\n";
    }
    Outcome run = RunProcess({g_tarnwick, "run", "--headless", "--virtual-time", "--frame",
                              frame.string(), program.string()});
    EXPECT_EQ(run.status, 0);
    tw::Frame f;
    std::string error;
    ASSERT_TRUE(tw::ReadFrame(frame.string(), f, error)) << error;
    EXPECT_EQ(f.indices[300 * 800 + 400], 7);
    std::remove(frame.string().c_str());
    std::remove(program.string().c_str());
    EXPECT_EQ(RunProcess({g_tarnwick, "run", "--headless", "--frame"}).status, 64);
}

// The media libraries are opened when a run first needs them: a run that shows no text and
// writes no frame file opens none; one that prints and writes a PNG opens the font and picture
// libraries then, draws the text into the frame, and prints what the run without them printed.
TEST(Cli, MediaLibrariesOpenWhenFirstNeeded) {
    const fs::path dir = fs::temp_directory_path();
    const fs::path program = dir / ("tarnwick_media_" + std::to_string(getpid()) + ".bas");
    const fs::path frame = dir / ("tarnwick_media_" + std::to_string(getpid()) + ".png");
    // The loader of this system says which libraries a process loads.
    const std::vector<std::string> traced = EnvironmentWithoutDisplay({"LD_DEBUG=files"});
    auto opened = [](const Outcome& run, const std::string& soname) {
        return run.err.find("file=" + soname + " ") != std::string::npos;
    };

    std::ofstream(program) << "OUTPUTDEBUG \"no text\"\nSTOP\n";
    Outcome bare = RunProcess({g_tarnwick, "run", "--headless", program.string()}, &traced);
    EXPECT_EQ(bare.status, 0) << bare.err;
    EXPECT_EQ(bare.out, "no text\n");
    EXPECT_TRUE(opened(bare, "libc.so.6")) << "no trace of the loaded libraries";
    for (const char* soname : {"libSDL2-2.0.so.0", "libSDL2_ttf-2.0.so.0", "libSDL2_image-2.0.so.0",
                               "libfontconfig.so.1"}) {
        EXPECT_FALSE(opened(bare, soname)) << soname;
    }

    std::ofstream(program) << "PRINT \"Hello\"\nOUTPUTDEBUG FONTWIDTH\nSTOP\n";
    Outcome plain = RunProcess({g_tarnwick, "run", "--headless", program.string()});
    Outcome framed = RunProcess(
        {g_tarnwick, "run", "--headless", "--frame", frame.string(), program.string()}, &traced);
    EXPECT_EQ(framed.status, 0);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(framed.out, plain.out);
    EXPECT_NE(plain.out, "0\n");  // the font was found and measured
    for (const char* soname :
         {"libSDL2_ttf-2.0.so.0", "libSDL2_image-2.0.so.0", "libfontconfig.so.1"}) {
        EXPECT_TRUE(opened(framed, soname)) << soname;
    }
    tw::Frame f;
    std::string error;
    ASSERT_TRUE(tw::ReadFrame(frame.string(), f, error)) << error;
    // "Hello" at the pen (0, 0): white (255) glyphs on black (0), where screen 0 is index 3.
    int ink = 0, paper = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 50; ++x) {
            ink += f.indices[static_cast<size_t>(y) * f.width + x] == 255;
            paper += f.indices[static_cast<size_t>(y) * f.width + x] == 0;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_GT(paper, 100);
    std::remove(frame.string().c_str());
    std::remove(program.string().c_str());
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// tarnwick project: made, filled, listed, extracted, changed and run from the command line; a
// command that fails leaves the file as it was.
TEST(Cli, Project) {
    const fs::path dir =
        fs::temp_directory_path() / ("tarnwick_cli_project_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string twp = (dir / "game.twp").string();
    const fs::path source = dir / "main.bas";
    {
        std::ofstream(source) << "OUTPUTDEBUG \"from the project\"\nSTOP\n";
        std::ofstream(dir / "route.pth") << "1,2\n";
        std::ofstream(dir / "hit.tws") << "xyz";
    }
    Outcome made = RunProcess({g_tarnwick, "project", "new", twp, "--source", source.string()});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "new", twp}).status, 1);  // already there

    Outcome added = RunProcess({g_tarnwick, "project", "add", twp, "path",
                                (dir / "route.pth").string(), (dir / "route.pth").string()});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(
        RunProcess({g_tarnwick, "project", "add", twp, "sound", (dir / "hit.tws").string()}).status,
        0);

    Outcome list = RunProcess({g_tarnwick, "project", "list", twp});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("Main Code"), std::string::npos);
    EXPECT_NE(list.out.find("      ID = 2\n"), std::string::npos);
    EXPECT_NE(list.out.find("      Volumne = 100\n"), std::string::npos);

    Outcome extracted = RunProcess({g_tarnwick, "project", "extract", twp, "0", "-"});
    EXPECT_EQ(extracted.out, ReadBytes(source));
    EXPECT_EQ(
        RunProcess({g_tarnwick, "project", "extract", twp, "3", (dir / "out.tws").string()}).status,
        0);
    EXPECT_EQ(ReadBytes(dir / "out.tws"), "xyz");

    Outcome run = RunProcess({g_tarnwick, "run", "--headless", twp});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "from the project\n");

    // Refused changes leave the file byte for byte.
    const std::string before = ReadBytes(twp);
    Outcome taken = RunProcess({g_tarnwick, "project", "set", twp, "1", "ID", "2"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.err,
              "Warning : Could not change this paths ID to the specified value. A path with this "
              "value currently exists!\n");
    Outcome notNumber = RunProcess({g_tarnwick, "project", "set", twp, "1", "ID", "two"});
    EXPECT_EQ(notNumber.err,
              "Path ID Must be a valid numerical value. It must be unique to each path.\n");
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "set", twp, "9", "ID", "5"}).status, 1);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "add", twp, "bitmap", (dir / "none.bmp").string()})
                  .status,
              1);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "add", twp, "paint", source.string()}).status, 64);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "extract", twp, "1001", "-"}).status, 64);
    EXPECT_EQ(ReadBytes(twp), before);

    EXPECT_EQ(RunProcess({g_tarnwick, "project", "set", twp, "1", "ID", "5"}).status, 0);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "set", twp, "1", "ID", "5"}).status,
              0);  // its own
    EXPECT_NE(RunProcess({g_tarnwick, "project", "list", twp}).out.find("ID = 5"),
              std::string::npos);

    // A damaged project: the load error, nothing run.
    { std::ofstream(dir / "bad.twp") << "TWP and not much else"; }
    Outcome bad = RunProcess({g_tarnwick, "run", "--headless", (dir / "bad.twp").string()});
    EXPECT_EQ(bad.status, 66);
    EXPECT_EQ(bad.err,
              "Error : COuld not load this Tarnwick project! Please make sure the project is not "
              "corrupt!!\n");
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "list", (dir / "missing.twp").string()}).status,
              66);
    EXPECT_EQ(RunProcess({g_tarnwick, "project"}).status, 64);
    fs::remove_all(dir);
}

// Files that are no files to read (a folder, a device, a FIFO no one writes to, something too
// large) are refused at once with the reason; a write never goes through a planted link, and
// one that fails says so with a non-zero status and leaves nothing behind.
TEST(Cli, HostileFiles) {
    const fs::path dir =
        fs::temp_directory_path() / ("tarnwick_cli_hostile_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.twp");
    const std::string fifoBas = (dir / "fifo.bas").string(), fifoTwp = (dir / "fifo.twp").string();
    ASSERT_EQ(mkfifo(fifoBas.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(fifoTwp.c_str(), 0600), 0);
    const std::string twp = (dir / "p.twp").string();
    ASSERT_EQ(RunProcess({g_tarnwick, "project", "new", twp}).status, 0);
    const std::string before = ReadBytes(twp);

    const std::string folder = (dir / "folder.twp").string();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{g_tarnwick, "check", folder},
          {g_tarnwick, "run", "--headless", folder},
          {g_tarnwick, "project", "list", folder}}) {
        Outcome r = RunProcess(args);
        EXPECT_EQ(r.status, 66) << args[1];
        EXPECT_EQ(r.err, "tarnwick: cannot read " + folder + ": Is a directory\n") << args[1];
    }
    Outcome zero = RunProcess({g_tarnwick, "check", "/dev/zero"});
    EXPECT_EQ(zero.status, 66);
    EXPECT_EQ(zero.err, "tarnwick: cannot read /dev/zero: not a regular file\n");
    EXPECT_EQ(RunProcess(
                  {g_tarnwick, "project", "new", (dir / "q.twp").string(), "--source", "/dev/zero"})
                  .status,
              66);
    EXPECT_FALSE(fs::exists(dir / "q.twp"));
    for (const char* kind : {"source", "bitmap"}) {
        for (const std::string& path : {std::string("/dev/zero"), fifoBas}) {
            Outcome added = RunProcess({g_tarnwick, "project", "add", twp, kind, path});
            EXPECT_EQ(added.status, 1) << kind << " " << path;
            EXPECT_EQ(added.err,
                      "Could not open the selected file, please verify it is not open by another "
                      "application.\n");
        }
    }
    Outcome fifoCheck = RunProcess({g_tarnwick, "check", fifoBas});
    EXPECT_EQ(fifoCheck.status, 66);
    EXPECT_EQ(fifoCheck.err,
              "tarnwick: cannot read " + fifoBas + ": a pipe that no one writes to\n");
    EXPECT_EQ(RunProcess({g_tarnwick, "check", fifoTwp}).status, 66);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "list", fifoTwp}).status, 66);

    // A source of more than 16 MiB is refused unread; 100,000 empty lines are refused by the
    // line limit without being split one by one.
    {
        std::ofstream big(dir / "big.bas");
        big << std::string(16 * 1024 * 1024 + 1, ' ');
        std::ofstream lines(dir / "lines.bas");
        lines << std::string(100000, '\n');
    }
    Outcome big = RunProcess({g_tarnwick, "check", (dir / "big.bas").string()});
    EXPECT_EQ(big.status, 66);
    EXPECT_NE(big.err.find("larger than 16777216 bytes"), std::string::npos) << big.err;
    Outcome lines = RunProcess({g_tarnwick, "check", (dir / "lines.bas").string()});
    EXPECT_EQ(lines.status, 2);
    EXPECT_NE(lines.err.find("`Source Buffer`"), std::string::npos) << lines.err;
    EXPECT_EQ(ReadBytes(twp), before);

    // Extracting over a link planted at OUT replaces the link; its target is left alone.
    const fs::path victim = dir / "victim", out = dir / "out.bas";
    { std::ofstream(victim) << "precious"; }
    fs::create_symlink(victim, out);
    EXPECT_EQ(RunProcess({g_tarnwick, "project", "extract", twp, "0", out.string()}).status, 0);
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(out));
    EXPECT_EQ(ReadBytes(out), RunProcess({g_tarnwick, "project", "extract", twp, "0", "-"}).out);

    // A frame that cannot be written: the reason and status 73, not a silent success.
    const fs::path program = dir / "a.bas";
    { std::ofstream(program) << "OUTPUTDEBUG 1\nSTOP\n"; }
    Outcome full =
        RunProcess({g_tarnwick, "run", "--headless", "--frame", "/dev/full", program.string()});
    EXPECT_EQ(full.status, 73);
    EXPECT_EQ(full.out, "1\n");
    EXPECT_EQ(full.err, "tarnwick: cannot write the frame to /dev/full: not a regular file\n");
    Outcome noFolder = RunProcess({g_tarnwick, "run", "--headless", "--frame",
                                   (dir / "none" / "f.png").string(), program.string()});
    EXPECT_EQ(noFolder.status, 73);
    EXPECT_NE(noFolder.err.find("No such file or directory"), std::string::npos) << noFolder.err;

    // A NUL byte in a program's words does not cut its failure line short.
    {
        std::ofstream(dir / "nul.bas")
            << std::string("CALL A\0B\nSTOP\nPROCEDURE A\0C\nENDPROC\n", 36);
    }
    Outcome nul = RunProcess({g_tarnwick, "check", (dir / "nul.bas").string()});
    EXPECT_EQ(nul.status, 2);
    EXPECT_NE(nul.err.find(std::string("<A\0C> is not a valid procedure", 30)), std::string::npos)
        << nul.err;
    fs::remove_all(dir);
}

// tarnwick check: the first failure as the environment shows it, or every failing row.
TEST(Cli, Check) {
    const fs::path folder = g_folder.parent_path() / "check";
    Outcome good = RunProcess({g_tarnwick, "check", (g_folder / "expressions.bas").string()});
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.out + good.err, "");

    Outcome first = RunProcess({g_tarnwick, "check", (folder / "rules.bas").string()});
    EXPECT_EQ(first.status, 2);
    EXPECT_EQ(
        first.err,
        "Testing Error : Project : rules.bas: Error #003 : Testing Failed, could not test this "
        "program because end of line expected, however <1> found.\n");

    Outcome all = RunProcess({g_tarnwick, "check", "--all", (folder / "rules.bas").string()});
    EXPECT_EQ(all.status, 2);
    const std::string prefix =
        "Testing Error : Project : rules.bas: Row %: Error #003 : Testing Failed, could not test "
        "this program because ";
    auto line = [&](const std::string& place, const std::string& message) {
        std::string l = prefix;
        l.replace(l.find('%'), 1, place);
        return l + message + "\n";
    };
    EXPECT_EQ(all.err, line("0 (line 2)", "end of line expected, however <1> found.") +
                           line("2 (line 4)", "9X is not a valid variable name.") +
                           line("3 (line 5)", "there was an errors in the expression.") +
                           line("4 (line 6)", "Error <12> : Unexpected end of line found.") +
                           line("5 (line 7)", "Error <6> : Illegal screen number."));

    Outcome pass = RunProcess({g_tarnwick, "check", "--all", (folder / "first_pass.bas").string()});
    EXPECT_EQ(pass.status, 2);
    EXPECT_EQ(pass.err,
              "Testing Error : Project : first_pass.bas: Row 2 (line 3): Error #004 : Testing "
              "Failed, the following problem arised during the first pass : Procedure <P> "
              "redeclared as a function.\n"
              "Testing Error : Project : first_pass.bas: Row 3 (line 4): Error #003 : Testing "
              "Failed, could not test this program because end of line expected, however <1> "
              "found.\n");

    Outcome tooLong =
        RunProcess({g_tarnwick, "check", (g_folder / "tokenizer_error.bas").string()});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_EQ(tooLong.err.rfind("Error : Project : tokenizer_error.bas: Error #002 - ", 0), 0u);
    Outcome tooLongAll =
        RunProcess({g_tarnwick, "check", "--all", (g_folder / "tokenizer_error.bas").string()});
    EXPECT_EQ(
        tooLongAll.err.rfind("Error : Project : tokenizer_error.bas: Line 2: Error #002 - ", 0),
        0u);

    EXPECT_EQ(RunProcess({g_tarnwick, "check"}).status, 64);
    EXPECT_EQ(RunProcess({g_tarnwick, "check", "--some", "x.bas"}).status, 64);
    EXPECT_EQ(RunProcess({g_tarnwick, "check", (folder / "missing.bas").string()}).status, 66);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: program_tests TARNWICK FOLDER [NAME-FILTER]\n");
        return 64;
    }
    g_tarnwick = fs::absolute(argv[1]).string();
    g_folder = argv[2];
    std::string filter = argc > 3 ? argv[3] : "";
    std::vector<fs::path> programs;
    for (const auto& entry : fs::directory_iterator(g_folder)) {
        if (entry.path().extension() == ".bas") programs.push_back(entry.path());
    }
    std::sort(programs.begin(), programs.end());
    for (const auto& p : programs) {
        std::string name = p.stem().string();
        if (!filter.empty() && name.find(filter) == std::string::npos) continue;
        testing::RegisterTest("Program", name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                              [p]() -> testing::Test* { return new ProgramTest(p); });
    }
    return RUN_ALL_TESTS();
}
