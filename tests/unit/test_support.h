#pragma once
// Helpers shared by the unit tests: a host that records what a run shows, and a way to run a
// program's source text.

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/interpreter.h"
#include "interpreter/prepare.h"
#include "interpreter/run_session.h"
#include "platform/host.h"
#include "platform/key_script.h"

namespace tw::test {

// Records message boxes and debug lines; its clock is set by hand or advances 1 ms per pass.
class RecordingHost : public Host {
public:
    uint32_t TickCount() override { return tick; }
    void Pass() override {
        ++passes;
        if (advancePerPass) ++tick;
    }
    // A vertical blank takes 1 ms of the clock that passes drive (a long fade moves it).
    void WaitForVerticalBlank() override {
        if (advancePerPass) ++tick;
    }
    bool CloseRequested() override { return closeAtPass > 0 && passes >= closeAtPass; }
    // A virtual key set by hand, or Escape and Tab from the scripted keys.
    bool KeyDown(int vk) override {
        if (vk >= 0 && vk < 256 && keys[vk]) return true;
        script.AdvanceTo(tick);
        return (vk == kVkEscape && script.Down(scan::kEscape)) ||
               (vk == kVkTab && script.Down(scan::kTab));
    }
    bool ReadKeyState(uint8_t state[256]) override {
        script.AdvanceTo(tick);
        script.Read(state);
        return true;
    }
    bool NextConsoleLine(std::string& line) override {
        if (consoleLines.empty()) return false;
        line = consoleLines.front();
        consoleLines.pop_front();
        return true;
    }
    bool ConsoleInputPending() override {
        script.AdvanceTo(tick);
        return !consoleLines.empty() || script.Pending();
    }
    bool ConsoleLinesPending() override { return !consoleLines.empty(); }
    void ConsoleOutput(std::string_view line) override { console.emplace_back(line); }
    void ShowMessage(MessageKind, std::string_view text) override {
        if (failingMessages > 0) {
            --failingMessages;
            throw std::runtime_error("no message box");
        }
        messages.emplace_back(text);
    }
    bool DebugShown() override { return debugShown; }
    void DebugOutput(std::string_view line) override {
        if (throwOnDebug) throw std::runtime_error("debug window gone");
        debug.emplace_back(line);
    }
    bool RaisePriority() override { return priorityRaised; }
    void Trace(std::string_view text) override { traces.emplace_back(text); }
    void ShowDisplayWindow() override {
        if (throwOnShow) throw std::runtime_error("no display");
    }
    bool FramesSeen() const override { return framesSeen; }

    uint32_t tick = 0;
    int passes = 0;
    int closeAtPass = 0;  // the window's close button is pressed at this pass (0: never)
    bool advancePerPass = true;
    bool debugShown = true;
    bool keys[256] = {};
    bool throwOnShow = false;
    bool throwOnDebug = false;
    bool priorityRaised = true;
    bool framesSeen = true;
    int failingMessages = 0;  // this many message boxes fail before one shows
    KeyScript script;         // the keyboard device's keys, by the clock
    std::deque<std::string> consoleLines;
    std::vector<std::string> console;  // what the console added
    std::vector<std::string> messages;
    std::vector<std::string> debug;
    std::vector<std::string> traces;
};

// A program cut into rows and validated, with an interpreter ready to run it.
struct ProgramRun {
    explicit ProgramRun(const std::string& source) : program(Prepare(source)), in(host) {
        in.program = &program.buffer;
        in.routines = &program.routines;
        in.limits.maxStatements = 100000;  // a runaway test program stops
    }
    RunOutcome Run() { return RunProgram(in); }

    RecordingHost host;
    PreparedProgram program;
    Interpreter in;
};

// A host that also remembers every palette the display showed.
class FrameHost : public RecordingHost {
public:
    std::vector<Palette> palettes;

protected:
    void ShowFrame(const Frame& frame) override { palettes.push_back(frame.palette); }
};

struct Shown {
    Frame frame;
    std::vector<std::string> messages;
    std::vector<std::string> debug;
    std::vector<Palette> palettes;
    int Pixel(int x, int y) const {
        return frame.indices[static_cast<size_t>(y) * frame.width + x];
    }
    // How many pixels of the rectangle have the index.
    int Count(int left, int top, int right, int bottom, int index) const {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) n += Pixel(x, y) == index;
        }
        return n;
    }
};

// Runs a program (which should end with DISPLAY UPDATE and STOP) and gives what it showed last;
// `files` are the project's files.
inline Shown Show(const std::string& source, const RunFiles* files = nullptr) {
    const PreparedProgram program = Prepare(source);
    FrameHost host;
    Interpreter in(host);
    in.sprites.files = files;
    in.limits.maxStatements = 100000;
    RunProgram(in, program);
    return Shown{host.LastFrame(), host.messages, host.debug, host.palettes};
}

#ifdef TARNWICK_SOURCE_DIR
// The example game's media as a project's files, which the reference's examples and the guide's
// listings use by name ("ship.spr", the path "comet.pth" with the ID 30, ...).
struct GameFiles {
    GameFiles() {
        const std::filesystem::path folder =
            std::filesystem::path(TARNWICK_SOURCE_DIR) / "examples" / "game";
        const std::pair<const char*, const char*> paths[] = {
            {"mothership.pth", "10"}, {"orbit.pth", "20"}, {"comet.pth", "30"}};
        for (const char* name : {"ship.spr", "invader.spr", "bullet.spr", "boom.spr", "ufo.spr",
                                 "satellite.spr", "comet.spr"}) {
            Add(folder / name, name, false, "");
        }
        for (const auto& [name, id] : paths) Add(folder / name, name, true, id);
    }
    void Add(const std::filesystem::path& path, const std::string& name, bool isPath,
             const std::string& id) {
        std::ifstream in(path, std::ios::binary);
        bytes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        names.push_back({name, isPath, id});
    }
    RunFiles Files() const {
        RunFiles files;
        for (size_t i = 0; i < bytes.size(); ++i) {
            files.push_back(
                {names[i].name, names[i].isPath,
                 std::span(reinterpret_cast<const uint8_t*>(bytes[i].data()), bytes[i].size()),
                 names[i].id});
        }
        return files;
    }
    struct Name {
        std::string name;
        bool isPath;
        std::string id;
    };
    std::vector<std::string> bytes;
    std::vector<Name> names;
};
#endif

}  // namespace tw::test
