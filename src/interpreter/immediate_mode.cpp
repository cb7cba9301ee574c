// The immediate-mode console.
//
// Sections: the history and the key repeat; executing a typed line; drawing; the console loop.

#include "interpreter/immediate_mode.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "display/screens.h"
#include "frontend/keywords.h"
#include "frontend/names.h"
#include "frontend/tokenize.h"
#include "interpreter/interpreter.h"
#include "platform/key_script.h"

namespace tw {

namespace {

constexpr int kPanelHeight = 120;
constexpr int kRepeatDelay = 400;
constexpr int kRepeatInterval = 100;
constexpr size_t kMaxInputLine = 65536;
constexpr Colour kPanelColour = 14919843;
constexpr Colour kPanelShadow = 14056822;
constexpr const char* kUnknownCommand = "Unknown Tarnwick Command.";

}  // namespace

// ---------------------------------------------------------------------------------------------
// The history and the key repeat

void ConsoleState::StartHistory() {
    history[3] = "Tarnwick Immediate Mode V0.1 - Press TAB Key To Quit";
    history[2] = "This window allows you to type and execute commands immediately for";
    history[1] = "example 'PRINT \"HELLO WORLD\"'. Make sure you have the syntax correct";
    history[0] = "or Tarnwick may hang or close, this will be fixed soon.";
}

std::string ConsoleTitle(std::string_view projectName) {
    return "Tarnwick - Immediate Mode - Project : " + std::string(projectName) +
           "   *** TAB TO RETURN TO TW ***";
}

void ConsoleState::AddHistory(std::string line) {
    for (int i = kHistory - 1; i > 0; --i) history[i] = std::move(history[i - 1]);
    history[0] = std::move(line);
}

void ConsoleState::TypeCharacter(int character, int64_t now) {
    if (character < 0) {
        lastCharacter = -1;
        firstPress = -1;
        return;
    }
    // A line held longer than anyone types takes no more characters, only its line end.
    if (inputLine.size() >= kMaxInputLine && character != '\n') return;
    if (character != lastCharacter) {
        inputLine.push_back(static_cast<char>(character));
        lastCharacter = character;
        firstPress = now;
        nextRepeat = now + kRepeatInterval;
        return;
    }
    if (firstPress + kRepeatDelay < now && nextRepeat < now) {
        inputLine.push_back(static_cast<char>(character));
        nextRepeat = now + kRepeatInterval;
    }
}

// ---------------------------------------------------------------------------------------------
// Executing a typed line

void ExecuteConsoleLine(Interpreter& in, ConsoleState& console, std::string_view line) {
    // The line's tokens in a list of 200 (no REM, THEN or ELSE rewriting); the command gets
    // tokens 1 to 200.
    std::vector<std::string> tokens(kLineTokenSlots);
    int position = 1;
    for (int count = 0;; ++count) {
        std::string token = NextToken(position, line);
        if (token.empty()) break;
        if (count >= kMaxLineTokens) {
            console.AddHistory(std::string(Entry(ErrorId::ConsoleLineTooLong).text));
            in.host.ConsoleOutput(console.history[0]);
            return;
        }
        tokens[count] = std::move(token);
    }
    FlipToDesktop(in.screens);
    const std::string word = ToUpper(tokens[0]);
    if (word.empty()) return;
    const int command = FindCommand(word);
    if (command < 0) {
        console.AddHistory(kUnknownCommand);
        in.host.ConsoleOutput(console.history[0]);
        return;
    }
    CommandResult result;
    try {
        in.commands.handlers[command](in, Args(&tokens[1], kLineTokenSlots - 1), result);
    } catch (const std::bad_alloc&) {
        // Memory that runs out fails the line, as it fails a statement of the run; the console
        // stays open.
        result = CommandResult{};
        result.Fail(ErrorId::OutOfMemory, 0);
    }
    ReleaseHeldCanvases(in.screens);
    if (!result.ok) {
        console.AddHistory(result.message);
        in.host.ConsoleOutput(console.history[0]);
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

class Console {
public:
    explicit Console(Interpreter& in) : in_(in), screen_(*in.screens.screen) {}

    void Run();

private:
    // The panel for the display as it is (a typed RESOLUTION changes it): its surface, the
    // console's colours and its frame.
    void Layout();
    bool LimitReached(int64_t passes) const;
    void SetPalette();
    void DrawFrame();
    void DrawTextArea();
    void Present();
    bool ReadKey(int& character);

    Interpreter& in_;
    TDispScreen& screen_;
    int width_ = 0;
    int height_ = 0;
    int top_ = 0;
    std::unique_ptr<TDispSurface> panel_;
    int lineHeight_ = 0;
    ConsoleState state_;
};

// Entries 250 to 255 take the console's colours (the program's own are not given back).
void Console::SetPalette() {
    Palette p = screen_.Entries();
    const PaletteEntry colours[6] = {{0, 0, 0, 0},       {255, 255, 255, 0}, {255, 255, 255, 0},
                                     {118, 125, 214, 0}, {163, 168, 227, 0}, {58, 68, 190, 0}};
    for (int i = 0; i < 6; ++i) p[250 + i] = colours[i];
    screen_.SetPalette(p);
}

Rect TextArea(int width) {
    return Rect{7, 15, width - 7, kPanelHeight - 18};
}

void Console::DrawFrame() {
    TDispCanvas& c = panel_->Canvas();
    c.brushColour = kPanelColour;
    c.brushStyle = BrushStyle::Solid;
    c.FillRect(Rect{0, 0, width_, kPanelHeight});
    c.FrameRect(Rect{0, 0, width_, kPanelHeight}, kWhite);
    c.FrameRect(Rect{1, 1, width_ - 1, kPanelHeight - 1}, kWhite);
    c.brushColour = kPanelShadow;
    c.FillRect(Rect{0, kPanelHeight - 2, width_, kPanelHeight});
    c.FillRect(Rect{width_ - 2, 0, width_, kPanelHeight});
    DrawTextArea();
    const Rect area = TextArea(width_);
    c.brushColour = kPanelShadow;
    c.FillRect(Rect{area.left, area.top, area.left + 1, area.bottom});
    c.FillRect(Rect{area.left, area.top, area.right, area.top + 1});
    c.font = FontSpec{};
    c.font.color = kBlack;
    c.brushColour = kPanelColour;
    if (in_.host.FramesSeen()) c.TextOut(15, 1, ConsoleTitle(in_.projectName));
    c.ReleaseHandle();
}

void Console::DrawTextArea() {
    TDispCanvas& c = panel_->Canvas();
    const Rect area = TextArea(width_);
    c.brushColour = kBlack;
    c.brushStyle = BrushStyle::Solid;
    c.FillRect(area);
    c.FrameRect(area, kWhite);
    // The panel is seen only in a frame: without one its text is not drawn, nor its fonts
    // loaded.
    if (!in_.host.FramesSeen()) {
        c.ReleaseHandle();
        return;
    }
    c.font = FontSpec{};
    c.font.name = "Courier";
    c.font.size = 8;
    c.font.color = kWhite;
    const int lines = (kPanelHeight - (lineHeight_ + 34)) / (lineHeight_ + 2) + 1;
    int y = kPanelHeight - 2 * lineHeight_ - 14;
    for (int i = 0; i < lines && i < ConsoleState::kHistory; ++i, y -= lineHeight_ + 2) {
        c.TextOut(10, y, state_.history[i]);
    }
    const int inputY = kPanelHeight - lineHeight_ - 12;
    c.TextRect(Rect{10, inputY, width_ - 19, kPanelHeight - 12}, 10, inputY,
               "> " + state_.inputLine);
    c.ReleaseHandle();
}

void Console::Layout() {
    width_ = in_.screens.displayWidth;
    height_ = in_.screens.displayHeight;
    top_ = height_ - kPanelHeight - 100;
    panel_ = std::make_unique<TDispSurface>(screen_, width_, kPanelHeight);
    lineHeight_ = std::abs(PointsToPixels(panel_->Canvas().font.size)) + 5;
    SetPalette();
    DrawFrame();
}

// The screens and sprites as the program left them, with the panel over their lower part.
void Console::Present() {
    if (width_ != in_.screens.displayWidth || height_ != in_.screens.displayHeight) Layout();
    UpdateDisplay(in_.screens, in_.run.statementCount, false);
    TDispSurface& back = screen_.BackSurface();
    back.Draw(0, top_, false, Rect{0, 0, width_, kPanelHeight}, *panel_);
    back.Canvas().ReleaseHandle();
    screen_.Flip();
    in_.screens.composedAndShown = true;  // the run's last picture is this one
}

// The character of the lowest key that is down (-1 none), with the console's own translation;
// false when the keyboard cannot be read (the reason went to the trace window).
bool Console::ReadKey(int& character) {
    uint8_t keys[256];
    if (!ReadKeyboardState(in_.host, keys)) return false;
    const int key = LowestKeyDown(keys);
    character = key < 0 ? -1 : ConsoleKeyCharacter(key, ShiftDown(keys));
    return true;
}

// ---------------------------------------------------------------------------------------------
// The console loop

void Console::Run() {
    Host& host = in_.host;
    in_.run.autoScreenUpdate = false;
    in_.timersInImmediateMode = true;
    state_.StartHistory();
    state_.firstPress = 0;
    Layout();
    Present();
    for (int64_t passes = 1;; ++passes) {
        if (host.KeyDown(kVkTab) || in_.quitRequested || host.CloseRequested()) break;
        host.Pass();
        const int64_t now = host.TickCount();
        std::string scripted;
        if (host.NextConsoleLine(scripted)) {
            state_.inputLine = std::move(scripted);
            state_.inputLine.push_back('\n');
        } else if (int character; ReadKey(character)) {
            state_.TypeCharacter(character, now);
        }
        const size_t end = state_.inputLine.find('\n');
        if (end != std::string::npos) {
            const std::string line = state_.inputLine.substr(0, end);
            state_.inputLine.clear();
            ExecuteConsoleLine(in_, state_, line);
        }
        DrawTextArea();
        if (in_.timersInImmediateMode) in_.timers.ServiceTimers(host, in_);
        Present();
        // A host with nothing more to type (a script that has run out) leaves as Tab would;
        // a script's keys are waited for only within the run's limits (its lines all run).
        if (!host.ConsoleInputPending()) break;
        if (LimitReached(passes) && !host.ConsoleLinesPending()) break;
    }
}

// The run's limits bound a scripted console too: its passes count as statements, and the
// run's time limit holds for it.
bool Console::LimitReached(int64_t passes) const {
    const RunLimits& limits = in_.limits;
    if (limits.maxStatements > 0 &&
        int64_t{static_cast<uint32_t>(in_.run.statementCount)} + passes >= limits.maxStatements) {
        return true;
    }
    return limits.timeoutMs > 0 &&
           int64_t{in_.host.TickCount()} - int64_t{in_.run.startTick} >= limits.timeoutMs;
}

}  // namespace

void ImmediateMode(Interpreter& in) {
    if (in.quitRequested || !DisplayStarted(in.screens)) return;
    Console(in).Run();
}

}  // namespace tw
