#pragma once
// The immediate-mode console that a stopped run opens over the lower part of the display: the
// user types one command line at a time and it runs at once against the stopped program's
// tables (its variables, screens and sprites). Tab leaves it; QUIT leaves it too. (Its commands
// LINES, QUIT, STOP and TIMERS are in commands/run_control.cpp.)

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

class Interpreter;

// What the console shows and reads.
struct ConsoleState {
    static constexpr int kHistory = 11;
    std::array<std::string, kHistory> history;  // index 0 the newest
    std::string inputLine;
    // Key repeat: the last character read (-1 none), when it was first read, when it may
    // repeat next.
    int lastCharacter = -1;
    int64_t firstPress = 0;
    int64_t nextRepeat = 0;

    // The four lines the console opens with, the title's newest.
    void StartHistory();
    // Moves every line one place up (the oldest is lost) and puts `line` at index 0.
    void AddHistory(std::string line);
    // The key reading of one pass: the character of the lowest key that is down (-1 none) at
    // tick `now`, with the console's repeat rule (400 ms, then every 100 ms).
    void TypeCharacter(int character, int64_t now);
};

// The panel's title line for a project.
std::string ConsoleTitle(std::string_view projectName);

// Runs the console after a stop request; returns when it is left.
void ImmediateMode(Interpreter& in);

// Executes one typed line against the interpreter's tables; the lines it adds to the history
// (a failure's message, "Unknown Tarnwick Command.") are added to `console`.
void ExecuteConsoleLine(Interpreter& in, ConsoleState& console, std::string_view line);

}  // namespace tw
