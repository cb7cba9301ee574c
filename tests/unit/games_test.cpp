// Sprites over the screens, paths tick by tick, the path table's loading, the keyboard
// service's translation and repeat rule, and the console over a stopped run.

#include <gtest/gtest.h>

#include <cstring>

#include "commands/registry.h"
#include "interpreter/immediate_mode.h"
#include "services/keyboard.h"
#include "sprites/sprites.h"
#include "test_support.h"

namespace tw {
namespace {

using test::ProgramRun;
using test::Show;
using test::Shown;

// An 8-bit BMP file of w x h pixels (rows given top first) with the palette's colours.
std::vector<uint8_t> Bmp8(int w, int h, const std::vector<Colour>& palette,
                          const std::vector<uint8_t>& topFirst) {
    const int stride = (w + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    const uint32_t size = offset + static_cast<uint32_t>(stride * h);
    std::vector<uint8_t> f(size, 0);
    auto put32 = [&f](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B', f[1] = 'M';
    put32(2, size);
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    f[26] = 1, f[28] = 8;
    put32(46, static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) {
        f[54 + 4 * i] = static_cast<uint8_t>(palette[i] >> 16);
        f[55 + 4 * i] = static_cast<uint8_t>(palette[i] >> 8);
        f[56 + 4 * i] = static_cast<uint8_t>(palette[i]);
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(&f[offset + static_cast<size_t>(h - 1 - y) * stride], &topFirst[y * w], w);
    }
    return f;
}

// An 8 x 8 sprite: white, its top-left pixel red, its other three corners black.
std::vector<uint8_t> Ball() {
    std::vector<uint8_t> pixels(64, 1);
    pixels[0] = 2;
    pixels[7] = pixels[56] = pixels[63] = 0;
    return Bmp8(8, 8, {0x000000, 0xFFFFFF, 0x0000FF}, pixels);
}

std::vector<uint8_t> Text(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

struct Project {
    std::vector<std::vector<uint8_t>> bytes;
    RunFiles files;
    void Add(const std::string& name, std::vector<uint8_t> data, bool path = false,
             const std::string& id = "") {
        bytes.push_back(std::move(data));
        files.push_back(RunFile{name, path, {}, id});
        for (size_t i = 0; i < files.size(); ++i) files[i].data = bytes[i];
    }
};

constexpr int kBackground = 3;  // screen 0's paper
constexpr int kWhite = 255, kRed = 249;

TEST(Sprites, PlacedWithHotspotsOverTheScreensAndClippedAtTheEdges) {
    Project p;
    p.Add("BALL.SPR", Ball());
    // Lower case finds the upper-case name; the hotspot moves the top-left to (92, 92).
    Shown s = Show(
        "SPRITE CREATE 0, 10, 10, \"ball.spr\"\nSPRITE HOTSPOT 0, -8, -8\nSPRITE 0, 100, 100\n"
        "SPRITE CREATE 1, -2, -3, \"ball.spr\"\nSPRITE CREATE 2, 796, 597, \"ball.spr\"\n"
        "SPRITE CREATE 3, 900, 100, \"ball.spr\"\nDISPLAY UPDATE\nQUIT",
        &p.files);
    ASSERT_TRUE(s.messages.empty()) << s.messages[0];
    EXPECT_EQ(s.Pixel(92, 92), kRed);
    EXPECT_EQ(s.Pixel(91, 92), kBackground);
    EXPECT_EQ(s.Count(92, 92, 100, 100, kWhite), 64 - 4);
    // At (-2, -3) only the bottom-right 6 x 5 pixels show, the bottom-left corner black.
    EXPECT_EQ(s.Pixel(0, 0), kWhite);
    EXPECT_EQ(s.Count(0, 0, 6, 5, kWhite), 6 * 5 - 1);
    EXPECT_EQ(s.Pixel(6, 0), kBackground);
    // At (796, 597) the top-left 4 x 3 pixels show, the red one first.
    EXPECT_EQ(s.Pixel(796, 597), kRed);
    EXPECT_EQ(s.Count(796, 597, 800, 600, kWhite), 4 * 3 - 1);
}

TEST(Sprites, TransparencyOrderAndDeletion) {
    Project p;
    p.Add("ball.spr", Ball());
    // Sprite 1 lies over sprite 0, four pixels to the right; its red (display index 249) is
    // transparent. Sprite 2's black and sprite 4's white (the colour without one given) are.
    Shown s = Show(
        "SPRITE CREATE 0, 100, 100, \"ball.spr\"\nSPRITE CREATE 1, 104, 100, \"ball.spr\"\n"
        "SPRITE TRANSPARENT YES, 1, 249\nSPRITE CREATE 2, 200, 200, \"ball.spr\"\n"
        "SPRITE TRANSPARENT YES, 2, 0\nSPRITE CREATE 3, 300, 300, \"ball.spr\"\n"
        "SPRITE DELETE 3\nSPRITE CREATE 4, 400, 400, \"ball.spr\"\n"
        "SPRITE TRANSPARENT YES, 4\nDISPLAY UPDATE\nQUIT",
        &p.files);
    ASSERT_TRUE(s.messages.empty()) << s.messages[0];
    EXPECT_EQ(s.Pixel(100, 100), kRed);
    EXPECT_EQ(s.Pixel(104, 100), kWhite);  // sprite 0 through sprite 1's red
    EXPECT_EQ(s.Pixel(107, 100), kWhite);  // sprite 1 over sprite 0's black corner
    EXPECT_EQ(s.Pixel(111, 100), 0);
    EXPECT_EQ(s.Pixel(200, 200), kRed);
    EXPECT_EQ(s.Pixel(207, 200), kBackground);
    EXPECT_EQ(s.Count(300, 300, 308, 308, kBackground), 64);  // deleted
    EXPECT_EQ(s.Count(400, 400, 408, 408, kBackground), 60);
}

TEST(Sprites, FiftyOneImagesARun) {
    Project p;
    p.Add("ball.spr", Ball());
    ProgramRun run(
        "FOR I = 1 TO 51\nSPRITE CREATE 0, 0, 0, \"ball.spr\"\nSPRITE DELETE 0\nNEXT I\n"
        "SPRITE CREATE 0, 0, 0, \"ball.spr\"\nQUIT");
    run.in.sprites.files = &p.files;
    run.Run();
    ASSERT_EQ(run.host.messages.size(), 1u);
    EXPECT_NE(run.host.messages[0].find("RTE (88)"), std::string::npos);
    EXPECT_NE(run.host.messages[0].find("At Line = 4"), std::string::npos);
}

TEST(Sprites, ARefusedSpriteFileEndsTheRunWithAMessageThatNamesIt) {
    // Never abnormally, and before anything is allocated for the claimed size.
    Project p;
    std::vector<uint8_t> huge = Ball();
    const int32_t side = 30000;
    std::memcpy(&huge[18], &side, 4);
    std::memcpy(&huge[22], &side, 4);
    p.Add("huge.spr", huge);
    const std::vector<uint8_t> ball = Ball();
    p.Add("short.spr", std::vector<uint8_t>(ball.begin(), ball.begin() + 60));
    for (const char* name : {"huge.spr", "short.spr"}) {
        ProgramRun run(std::string("SPRITE CREATE 0, 0, 0, \"") + name + "\"\nQUIT");
        run.in.sprites.files = &p.files;
        EXPECT_EQ(run.Run(), RunOutcome::Failed);
        ASSERT_EQ(run.host.messages.size(), 1u);
        EXPECT_NE(run.host.messages[0].find(std::string("RTE (87) - Could not read the sprite "
                                                        "file \"") + name + "\": "),
                  std::string::npos)
            << run.host.messages[0];
    }
}

// ---------------------------------------------------------------------------------------------
// Paths

// A table with one 3-point path (x = 10, 20, 30) and sprite 0 on it.
struct OnPath {
    OnPath(PathEnd end, int points = 3) {
        t.paths[0].used = true;
        t.paths[0].pathId = 1;
        for (int i = 0; i < points; ++i) t.paths[0].points.emplace_back(10 * (i + 1), 5);
        t.paths[0].pointCount = points;
        SpriteRecord& s = t.sprites[0];
        s.active = s.hasPath = s.running = true;
        s.pathIndex = 0;
        s.endMode = end;
        s.x = -1;
    }
    // The x of sprite 0 after each of n ticks (0 for "not moved yet").
    std::vector<int> Ticks(int n) {
        std::vector<int> xs;
        for (int i = 0; i < n; ++i) {
            AdvanceSpritePaths(t);
            xs.push_back(t.sprites[0].x);
        }
        return xs;
    }
    SpriteTables t;
};

TEST(Paths, LoopBounceAndStopTickByTick) {
    // Loop: points 1, 2, a tick at 2 while the position wraps to 0, then 1, 2 again: point 0
    // is never shown going forwards.
    EXPECT_EQ(OnPath(PathEnd::Loop).Ticks(7), (std::vector<int>{20, 30, 30, 20, 30, 30, 20}));
    // Bounce: 1, 2, a tick, 2, 1, 0, a tick, 0, 1, 2.
    EXPECT_EQ(OnPath(PathEnd::Bounce).Ticks(10),
              (std::vector<int>{20, 30, 30, 30, 20, 10, 10, 10, 20, 30}));
    // Stop: it stops on the last point; RUN YES moves it no further forwards.
    OnPath stop(PathEnd::Stop);
    EXPECT_EQ(stop.Ticks(4), (std::vector<int>{20, 30, 30, 30}));
    EXPECT_FALSE(stop.t.sprites[0].running);
    stop.t.sprites[0].running = true;
    EXPECT_EQ(stop.Ticks(2), (std::vector<int>{30, 30}));
    // Backwards in loop mode the position wraps to the last point, which is never shown.
    OnPath back(PathEnd::Loop);
    back.t.sprites[0].backward = true;
    back.t.sprites[0].pathPosition = 2;
    EXPECT_EQ(back.Ticks(4), (std::vector<int>{20, 10, 10, 20}));
    // A path without points never moves its sprite.
    EXPECT_EQ(OnPath(PathEnd::Bounce, 0).Ticks(4), (std::vector<int>{-1, -1, -1, -1}));
}

TEST(Paths, OneSpriteAtItsEndDoesNotStopTheOthers) {
    OnPath p(PathEnd::Stop);
    p.t.sprites[1] = p.t.sprites[0];
    p.t.sprites[1].endMode = PathEnd::Loop;
    p.Ticks(3);
    EXPECT_FALSE(p.t.sprites[0].running);
    AdvanceSpritePaths(p.t);
    EXPECT_EQ(p.t.sprites[1].x, 20);
}

TEST(Paths, TheTableIsLoadedFromTheProjectOrTheRunDoesNotStart) {
    std::vector<std::pair<int32_t, int32_t>> points;
    std::string why;
    // Seven lines hold two points; CR, LF and CR LF all end lines; blanks around a number
    // are allowed.
    ASSERT_TRUE(ReadPathPoints(Text("P\r\n2\r1\n 2 \r\n3\r\n-4\r\n99"), points, why));
    EXPECT_EQ(points, (std::vector<std::pair<int32_t, int32_t>>{{1, 2}, {3, -4}}));
    EXPECT_FALSE(ReadPathPoints(Text("P\n1\n1\nup\n"), points, why));
    EXPECT_EQ(why, "line 4 (\"up\") is not a whole number");
    std::string many = "P\n1000\n";
    for (int i = 0; i < 1001; ++i) many += "1\n2\n";
    EXPECT_FALSE(ReadPathPoints(Text(many), points, why));
    EXPECT_EQ(why, "it holds 1001 points, and a path may hold at most 1000");

    Project p;
    p.Add("a.pth", Text("P\n1\n5\n6\n"), true, "5");
    p.Add("ball.spr", Ball());
    p.Add("b.pth", Text("P\n1\n7\n8\n"), true, "5");
    SpriteTables t;
    t.files = &p.files;
    std::string failure;
    ASSERT_TRUE(LoadPaths(t, failure));
    EXPECT_EQ(t.paths[1].points[0].first, 7);
    EXPECT_FALSE(t.paths[2].used);

    p.Add("c.pth", Text("P\n1\n7\n8\n"), true, "five");
    EXPECT_FALSE(LoadPaths(t, failure));
    EXPECT_EQ(failure, "The path \"c.pth\" cannot be used: its ID \"five\" is not a whole number.");
    Project twelve;
    for (int i = 0; i < 12; ++i) twelve.Add("p" + std::to_string(i), Text("P\n0\n"), true, "1");
    t.files = &twelve.files;
    EXPECT_FALSE(LoadPaths(t, failure));
    EXPECT_NE(failure.find("more than 11 paths"), std::string::npos);

    // A run with a bad path shows the message and runs no statement.
    ProgramRun run("OUTPUTDEBUG 1\nQUIT");
    run.in.sprites.files = &twelve.files;
    EXPECT_EQ(run.Run(), RunOutcome::Failed);
    EXPECT_TRUE(run.host.debug.empty());
    ASSERT_EQ(run.host.messages.size(), 1u);
    EXPECT_EQ(run.host.messages[0], failure);
}

TEST(Paths, AddTakesTheFirstPathWithTheIdAndTheTickMovesTheSprite) {
    Project p;
    p.Add("ball.spr", Ball());
    p.Add("a.pth", Text("P\n2\n100\n100\n150\n100\n"), true, "5");
    p.Add("b.pth", Text("P\n2\n400\n400\n450\n400\n"), true, "5");
    // A WAIT lets the 20 ms tick move the sprite from its place to point 1 of the first path.
    Shown s = Show(
        "SPRITE CREATE 0, 10, 10, \"ball.spr\"\nSPRITE PATH ADD 0, 5\nSPRITE PATH END 0, STOP\n"
        "WAIT 100\nDISPLAY UPDATE\nQUIT",
        &p.files);
    ASSERT_TRUE(s.messages.empty()) << s.messages[0];
    EXPECT_EQ(s.Pixel(150, 100), kRed);
    EXPECT_EQ(s.Count(10, 10, 18, 18, kBackground), 64);
}

// ---------------------------------------------------------------------------------------------
// The keyboard

TEST(Keyboard, TranslationForProgramsAndForTheConsole) {
    EXPECT_EQ(ProgramKeyCharacter(30, false), 'a');
    EXPECT_EQ(ProgramKeyCharacter(30, true), 'A');
    EXPECT_EQ(ProgramKeyCharacter(2, true), '1');  // programs get digits under Shift
    EXPECT_EQ(ConsoleKeyCharacter(2, true), '!');  // the console gets the symbol
    EXPECT_EQ(ConsoleKeyCharacter(4, true), 163);  // the pound sign
    EXPECT_EQ(ConsoleKeyCharacter(13, true), '+');
    EXPECT_EQ(ProgramKeyCharacter(28, false), '\n');
    EXPECT_EQ(ProgramKeyCharacter(156, false), '\n');
    EXPECT_EQ(ProgramKeyCharacter(83, false), '.');
    EXPECT_EQ(ProgramKeyCharacter(1, false), -1);    // Escape has no character
    EXPECT_EQ(ProgramKeyCharacter(200, false), -1);  // nor has a cursor key
    EXPECT_EQ(DirectInputErrorName(kDiErrInputLost), "DIERR_INPUTLOST");
    EXPECT_EQ(DirectInputErrorName(0x80070057), "DIERR_INVALIDPARAM");
    EXPECT_EQ(DirectInputErrorName(0x80001234), "Unknown Error (-2147478988)");
}

TEST(Keyboard, TheLowestKeyCountsShiftCtrlAndAltOnlyTranslate) {
    test::RecordingHost host;
    KeyBuffer keys;
    StartKeyboardService(keys);
    auto tick = [&](uint32_t t) {
        host.tick = t;
        ServiceKeyboard(keys, host);
    };
    auto typed = [&] { return std::string(keys.characters.begin(), keys.characters.begin() +
                                                                        keys.count); };
    // Shift held with Z (44, above Shift's 42) types a capital.
    host.script.Set(42, true);
    host.script.Set(44, true);
    tick(100);
    EXPECT_EQ(typed(), "Z");
    // Shift and A held for 350 ms: A at the press, then at 100, 200 and 300 ms.
    host.script.Set(44, false);
    host.script.Set(30, true);
    for (uint32_t t = 200; t <= 550; t += 25) tick(t);
    EXPECT_EQ(typed(), "ZAAAA");
    // With B held, pressing A gives A at once; with A held, pressing B gives nothing.
    host.script.Set(42, false);
    host.script.Set(30, false);
    tick(600);
    host.script.Set(48, true);
    tick(625);
    host.script.Set(30, true);
    tick(650);
    EXPECT_EQ(typed(), "ZAAAAba");
    host.script.Set(48, false);
    tick(675);
    host.script.Set(48, true);
    tick(700);
    EXPECT_EQ(typed(), "ZAAAAba");
    // A key without a character types nothing; its number goes to the trace window.
    host.script.Set(30, false);
    host.script.Set(48, false);
    host.script.Set(1, true);
    tick(800);
    EXPECT_EQ(typed(), "ZAAAAba");
    EXPECT_EQ(host.traces.back(), "1");
    // INKEY takes the newest first.
    char c;
    ASSERT_TRUE(TakeKey(keys, host, c));
    EXPECT_EQ(c, 'a');
    EXPECT_EQ(host.traces.back(), "6>  a");
}

TEST(Keyboard, TheFunctionsNeedTheServiceRunning) {
    test::RecordingHost host;
    Interpreter in(host);
    BuildTables(in.commands, in.functions);
    FunctionResult result;
    in.functions.handlers[Index(FunctionId::INKEY)](in, Args(), result);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.code, 80);
    EXPECT_EQ(result.token, -1);
    EXPECT_EQ(result.message,
              "RTE (80) - Cannot call Keyboard based command or function, Keyboard service is not "
              "running - Call \"KEYBOARD ON\" command.");
}

TEST(Keyboard, AFullBufferDropsItsOldestCharacter) {
    test::RecordingHost host;
    KeyBuffer keys;
    StartKeyboardService(keys);
    for (int i = 0; i < 130; ++i) {
        host.script.Set(i % 2 ? 30 : 48, true);  // A and B in turn: each is a new key
        host.script.Set(i % 2 ? 48 : 30, false);
        host.tick = 25 * i;
        ServiceKeyboard(keys, host);
    }
    EXPECT_EQ(keys.count, 128);
    EXPECT_EQ(keys.produced, 130u);
    EXPECT_EQ(keys.characters[0], 'b');  // the first two went
    EXPECT_EQ(keys.characters[127], 'a');
}

// ---------------------------------------------------------------------------------------------
// The console

TEST(Console, TypedLinesRunAgainstTheStoppedProgram) {
    // PRINT X typed in the console draws what the program's own PRINT X would (in the same
    // colours; the console's palette holds white twice, so the index may differ).
    const Shown printed = Show("LET X = 42\nPRINT X\nDISPLAY UPDATE\nQUIT");
    test::FrameHost host;
    host.consoleLines = {"PRINT X", "FROB", "X = 1", "LINES", "STOP"};
    Interpreter in(host);
    const PreparedProgram program = Prepare("LET X = 42\nSTOP");
    RunProgram(in, program);
    const Frame& frame = host.LastFrame();
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            ASSERT_EQ(frame.palette[frame.indices[y * 800 + x]],
                      printed.frame.palette[printed.Pixel(x, y)])
                << x << ", " << y;
        }
    }
    EXPECT_GT(printed.Count(0, 0, 100, 40, 0), 10);
    EXPECT_EQ(host.console,
              (std::vector<std::string>{"Unknown Tarnwick Command.", "Unknown Tarnwick Command."}));
    // The panel lies over the lower part of the display, in the console's own colours.
    EXPECT_EQ(frame.indices[(600 - 220 + 60) * 800 + 3], 254);
    EXPECT_EQ(frame.palette[253], (PaletteEntry{118, 125, 214, 0}));
}

TEST(Console, QuitSkipsOrLeavesItAndLongLinesAreRefused) {
    ProgramRun quit("QUIT");
    quit.host.consoleLines = {"FROB"};
    quit.Run();
    EXPECT_TRUE(quit.host.console.empty());
    EXPECT_EQ(quit.host.consoleLines.size(), 1u);  // never opened

    ProgramRun stop("STOP");
    std::string tooLong = "LINES";
    for (int i = 0; i < 199; ++i) tooLong += " 1";
    stop.host.consoleLines = {tooLong, "QUIT", "FROB"};
    stop.Run();
    EXPECT_EQ(stop.host.console,
              (std::vector<std::string>{"Line too long, a typed line may hold at most 199 tokens."}));
    EXPECT_EQ(stop.host.consoleLines.size(), 1u);  // QUIT left before FROB
}

// The column of the red top-left pixel of a sprite on row y of a frame (-1: none).
int RedColumn(const Frame& frame, int y) {
    for (int x = 0; x < frame.width; ++x) {
        if (frame.indices[static_cast<size_t>(y) * frame.width + x] == kRed) return x;
    }
    return -1;
}

TEST(Console, TimersOffStopsTheSpritesOnTheirPaths) {
    Project p;
    p.Add("ball.spr", Ball());
    std::string path = "P\n500\n";
    for (int i = 0; i < 500; ++i) path += std::to_string(i) + "\n50\n";
    p.Add("line.pth", Text(path), true, "1");
    // The console stays open until the scripted key at 400 ms; the path moves the sprite one
    // pixel every 20 ms while the timers run.
    auto columnAfter = [&](const std::string& line) {
        test::FrameHost host;
        host.script = KeyScript({KeyEvent{400, 57, true}});
        host.consoleLines = {line};
        Interpreter in(host);
        in.sprites.files = &p.files;
        const PreparedProgram program =
            Prepare("SPRITE CREATE 0, 0, 50, \"ball.spr\"\nSPRITE PATH ADD 0, 1\nSTOP");
        RunProgram(in, program);
        EXPECT_GE(host.tick, 400u);
        return RedColumn(host.LastFrame(), 50);
    };
    EXPECT_GT(columnAfter("TIMERS ON"), 15);
    EXPECT_LE(columnAfter("TIMERS OFF"), 1);
}

TEST(Console, OpensOnEscapeEvenDuringAWaitAndTabLeavesIt) {
    ProgramRun p("WAIT 100000\nOUTPUTDEBUG 1");
    p.host.script = KeyScript({KeyEvent{50, 1, true}, KeyEvent{60, 1, false},
                               KeyEvent{200, 15, true}, KeyEvent{90000, 57, true}});
    p.host.consoleLines = {"FROB"};
    EXPECT_EQ(p.Run(), RunOutcome::Stopped);
    EXPECT_TRUE(p.host.debug.empty());
    EXPECT_EQ(p.host.console, (std::vector<std::string>{"Unknown Tarnwick Command."}));
    EXPECT_LT(p.host.tick, 1000u);  // Tab at 200 ms, not the key at 90 s
}

TEST(Console, AScriptedConsoleWaitsForKeysOnlyWithinTheRunsLimits) {
    ProgramRun p("DO\nLOOP");
    p.in.limits.maxStatements = 0;
    p.in.limits.timeoutMs = 100;
    p.host.script = KeyScript({KeyEvent{50000000, 30, true}});
    p.host.consoleLines = {"FROB", "FROB"};
    p.Run();
    EXPECT_EQ(p.host.console.size(), 2u);  // every line runs, then no key is waited for
    EXPECT_LT(p.host.tick, 1000u);
}

TEST(Console, KeysTypeWithTheirOwnRepeatRule) {
    ConsoleState c;
    c.TypeCharacter('a', 0);
    for (int t = 10; t <= 400; t += 10) c.TypeCharacter('a', t);
    EXPECT_EQ(c.inputLine, "a");  // nothing before 400 ms have passed
    for (int t = 410; t <= 620; t += 10) c.TypeCharacter('a', t);
    EXPECT_EQ(c.inputLine, "aaa");  // then every 100 ms: at 410 and 520
    c.TypeCharacter(-1, 630);
    c.TypeCharacter('a', 640);
    EXPECT_EQ(c.inputLine, "aaaa");
    c.StartHistory();
    EXPECT_EQ(c.history[3], "Tarnwick Immediate Mode V0.1 - Press TAB Key To Quit");
    EXPECT_EQ(c.history[0], "or Tarnwick may hang or close, this will be fixed soon.");
    EXPECT_EQ(ConsoleTitle("game.twp"),
              "Tarnwick - Immediate Mode - Project : game.twp   *** TAB TO RETURN TO TW ***");
    for (int i = 0; i < 12; ++i) c.AddHistory(std::to_string(i));
    EXPECT_EQ(c.history[0], "11");
    EXPECT_EQ(c.history[10], "1");
}

}  // namespace
}  // namespace tw
