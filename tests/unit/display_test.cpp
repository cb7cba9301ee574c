// Screens, composition, colours and effects, checked on the palette indexes of the frames a
// headless run shows.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "display/disp_screen.h"
#include "display/frame_file.h"
#include "test_support.h"

namespace tw {
namespace {

using test::Show;
using test::Shown;

TEST(Display, ScreenZeroFillsTheDisplay) {
    Shown s = Show("DISPLAY UPDATE\nQUIT");
    ASSERT_TRUE(s.frame.Valid());
    EXPECT_EQ(s.frame.width, 800);
    EXPECT_EQ(s.frame.height, 600);
    EXPECT_EQ(s.Pixel(400, 300), 3);  // screen 0 starts in palette index 3
    // The run number is written on the bottom line, black on white.
    EXPECT_GT(s.Count(0, 580, 200, 600, 255), 100);
    EXPECT_GT(s.Count(0, 580, 200, 600, 0), 20);
}

TEST(Display, DefaultPaletteIsTheSameInEveryProcess) {
    Random random;
    auto draw = [&random] { return random.Next(); };
    Palette p = DefaultPalette(draw);
    EXPECT_EQ((std::array<int, 3>{p[0].red, p[0].green, p[0].blue}), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ((std::array<int, 3>{p[7].red, p[7].green, p[7].blue}),
              (std::array<int, 3>{192, 192, 192}));
    EXPECT_EQ((std::array<int, 3>{p[249].red, p[249].green, p[249].blue}),
              (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ((std::array<int, 3>{p[255].red, p[255].green, p[255].blue}),
              (std::array<int, 3>{255, 255, 255}));
    // The first random component is the high 32 bits of the first seed times 255.
    EXPECT_EQ(p[10].red, static_cast<uint8_t>((uint64_t{1} * 255) >> 32));
    uint32_t seed = 1;
    seed = seed * 134775813u + 1u;
    EXPECT_EQ(p[10].green, static_cast<uint8_t>((uint64_t{seed} * 255) >> 32));
    EXPECT_NE(random.seed, 0u);
    random.seed = 0;
    EXPECT_EQ(DefaultPalette(draw), p);
}

TEST(Display, ClsAndPlotColours) {
    Shown s = Show("CLS 300\nPLOT 10, 10, 4\nPLOT 11, 10\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.Pixel(400, 300), 44);  // 300 mod 256
    EXPECT_EQ(s.Pixel(10, 10), 4);
    // Without a colour the ink is used: its start value 16777215 is white taken as RGB.
    EXPECT_EQ(s.Pixel(11, 10), 255);
    Shown plain = Show("CLS\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(plain.Pixel(400, 300), 255);  // the default brush's low byte
}

TEST(Display, OpenedScreenIsInFrontAndCurrent) {
    Shown s = Show("SCREEN OPEN 1, 320, 200\nPLOT 300, 150, 249\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.Pixel(300, 150), 249);  // drawn on screen 1, which lies at (0, 0)
    EXPECT_EQ(s.Pixel(319, 199), 0);    // screen 1 is erased to index 0
    EXPECT_EQ(s.Pixel(320, 200), 3);    // screen 0 behind it
    // "Screen No : 1" at (10, 10): black text on the white brush.
    EXPECT_GT(s.Count(10, 10, 90, 30, 255), 50);
    EXPECT_GT(s.Count(10, 10, 90, 30, 0), 20);
}

TEST(Display, OffsetsClipTheComposition) {
    Shown s = Show(
        "SCREEN OPEN 1, 100, 100\nCLS 250\nSCREEN OFFSET 1, -50, -50\n"
        "SCREEN OPEN 2, 100, 100\nCLS 251\nSCREEN OFFSET 2, 790, 595\n"
        "SCREEN OPEN 3, 10, 10\nCLS 252\nSCREEN OFFSET 3, 900, 10\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.Pixel(0, 0), 250);
    EXPECT_EQ(s.Pixel(49, 49), 250);
    EXPECT_EQ(s.Pixel(50, 50), 3);
    EXPECT_EQ(s.Pixel(790, 560), 3);
    EXPECT_EQ(s.Pixel(799, 579), 3);
    EXPECT_EQ(s.Pixel(795, 599), 251);
    EXPECT_EQ(s.Count(0, 0, 800, 580, 252), 0);  // entirely off the display
}

TEST(Display, StackingOrder) {
    // Screen 2 in front of 1 in front of 0; TO BACK 2 puts it behind everything.
    const std::string open = "SCREEN OPEN 1, 100, 100\nCLS 250\nSCREEN OPEN 2, 50, 50\nCLS 251\n";
    EXPECT_EQ(Show(open + "DISPLAY UPDATE\nSTOP").Pixel(20, 20), 251);
    Shown back = Show(open + "SCREEN TO BACK 2\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(back.Pixel(20, 20), 250);
    EXPECT_EQ(back.Pixel(200, 200), 3);
    // Bringing one screen to the front again and again keeps the others where they were.
    std::string again = open + "SCREEN TO BACK 1\n";
    for (int i = 0; i < 20; ++i) again += "SCREEN TO FRONT 2\n";
    Shown front = Show(again + "DISPLAY UPDATE\nSTOP");
    EXPECT_EQ(front.Pixel(20, 20), 251);
    EXPECT_EQ(front.Pixel(70, 70), 3);  // screen 1 is behind screen 0 now
    // Closing the front screen makes the one behind it current.
    Shown closed = Show(open + "SCREEN CLOSE\nPLOT 60, 60, 4\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(closed.Pixel(60, 60), 4);
}

TEST(Display, CloneLiesOverItsSource) {
    const std::string clone =
        "SCREEN OPEN 1, 100, 100\nCLS 250\nSCREEN OFFSET 1, 200, 200\nSCREEN CLONE\n"
        "PLOT 50, 50, 4\nSCREEN TO BACK 2\nPLOT 51, 50, 4\n";
    Shown s = Show(clone + "DISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.Pixel(250, 250), 250);  // the clone went behind; screen 1 shows again
    EXPECT_EQ(s.Pixel(251, 250), 250);
    Shown front = Show(clone + "SCREEN TO FRONT 2\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(front.Pixel(250, 250), 4);
    EXPECT_EQ(front.Pixel(251, 250), 4);  // TO BACK left screen 2 current
    Shown text = Show("SCREEN OPEN 1, 100, 100\nCLS 250\nSCREEN CLONE 5\nDISPLAY UPDATE\nSTOP");
    EXPECT_GT(text.Count(10, 10, 100, 30, 255), 50);  // "CLONED Screen No : 5"
    EXPECT_EQ(text.Pixel(90, 90), 250);
}

TEST(Display, ClosedScreensReportError15) {
    Shown s = Show("LINE SCREEN 2, 0, 0 TO 10, 10\nSTOP");
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0],
              "The following run time error occured \rError <15> : Run Time Error - Screen 2 is "
              "not open.\rAt Line = 0, Token = 2");
    Shown last = Show("SCREEN CLOSE\nLINE TO 5, 5\nSTOP");
    EXPECT_NE(last.messages.at(0).find("Screen 0 is not open."), std::string::npos);
    Shown clone = Show("SCREEN CLOSE\nSCREEN CLONE\nSTOP");
    EXPECT_NE(clone.messages.at(0).find("RTE (28) - Screen 0 is not open."), std::string::npos);
}

TEST(Display, CircleLimitOfTheOldDrawingApi) {
    EXPECT_TRUE(Show("CIRCLE 16384, 0, 1\nSTOP").messages.empty());
    Shown over = Show("CIRCLE 16385, 0, 1\nSTOP");
    ASSERT_EQ(over.messages.size(), 1u);
    EXPECT_EQ(over.messages[0],
              "The following run time error occured \rRTE (23) - Circle command could not be "
              "performed, Windows 95/98/NT limits exceeded.\rAt Line = 0, Token = 2");
    EXPECT_FALSE(Show("CIRCLE 20000, 20000, 10\nSTOP").messages.empty());
    EXPECT_TRUE(Show("CIRCLE -20000, 10, 5\nSTOP").messages.empty());
    EXPECT_NE(Show("PIE 0, 0, 40000, 10, 0, 0, 1, 1\nSTOP").messages.at(0).find("RTE (23) - Pie"),
              std::string::npos);
}

TEST(Display, EvaluationFailuresOfGraphicsCommands) {
    Shown s = Show("PLOT \"A\", 1\nSTOP");
    EXPECT_EQ(s.messages.at(0),
              "The following run time error occured \rError <999> : Plot failed, during the "
              "evaluation of X,Y and colour parameters..\rAt Line = 0, Token = 0");
    Shown eval = Show("LINE 1, 2 TO 3, 4 5\nSTOP");
    EXPECT_NE(eval.messages.at(0).find("Error <19>"), std::string::npos);
    // The longest point list a line can hold: the graphics cursor and 49 more.
    std::string many = "POLYLINE TO 1, 0";
    for (int i = 2; i <= 49; ++i) many += " TO " + std::to_string(i) + ", 0";
    EXPECT_TRUE(Show(many + "\nSTOP").messages.empty());
}

TEST(Display, LastArgumentsRunToTheEndOfTheLine) {
    Shown s = Show(
        "INK 4\nLET X = 10\nPLOT X, X + 1\nPLOT 20, (20)\nINK 249\nPOLYLINE 30, 30 TO 40, 30 + 0\n"
        "BRUSH 250\nPOLYGON 50, 50 TO 60, 50 TO 60, 55 + 5\nDISPLAY UPDATE\nSTOP");
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.Pixel(10, 11), 4);  // the ink, not a colour read from the expression
    EXPECT_EQ(s.Pixel(20, 20), 4);
    EXPECT_EQ(s.Pixel(35, 30), 249);
    EXPECT_EQ(s.Pixel(58, 52), 250);
}

TEST(Display, VeryLongTextIsDrawnInPieces) {
    Shown s = Show(
        "TEXT -100000, 10, REPEAT(\"W\", 300000)\nOUTPUTDEBUG GRLOCATEX > 0\n"
        "DISPLAY UPDATE\nSTOP");
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.debug, (std::vector<std::string>{"0"}));
    EXPECT_GT(s.Count(0, 10, 800, 25, 255), 1000);  // white glyphs across the whole width
}

TEST(Display, ResolutionLeavesTheStackWhole) {
    Shown s = Show(
        "SCREEN OPEN 1, 50, 50\nSCREEN OPEN 2, 50, 50\nRESOLUTION 640X480\n"
        "SCREEN OPEN 1, 50, 50\nCLS 250\nSCREEN OPEN 2, 50, 50\nCLS 251\n"
        "SCREEN TO FRONT 0\nCLS 252\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.Pixel(20, 20), 252);  // screen 0 is in front of the two reopened screens
}

TEST(Display, GraphicsCursor) {
    Shown s = Show(
        "GFXLOCATE 5, 7\nOUTPUTDEBUG GRLOCATEX\nOUTPUTDEBUG GRLOCATEY\n"
        "POLYLINE TO 10, 10 TO 20, 0\nOUTPUTDEBUG GRLOCATEX\nOUTPUTDEBUG GRLOCATEY\n"
        "TEXT 100, 50, \"MM\"\nLET W = GRLOCATEX - 100\nOUTPUTDEBUG W > 0\nSTOP");
    EXPECT_EQ(s.debug, (std::vector<std::string>{"5", "7", "20", "0", "0"}));
}

// A host that looks at no frame keeps none, and the run is the same: the display leaves out
// only its own lettering (the run number, the console's text), which no program measures.
TEST(Display, AHostThatSeesNoFrameKeepsNoneAndTheRunIsTheSame) {
    const std::string source =
        "PRINT \"Hello\"\nTEXT 100, 50, \"MM\"\nOUTPUTDEBUG GRLOCATEX\n"
        "OUTPUTDEBUG FONTWIDTH\nOUTPUTDEBUG MAXCHARSHIGH\nSET TEXT GRID ON\nPRINT \"AB\"\n"
        "OUTPUTDEBUG XCURS\nSCREEN OPEN 2, 300, 100\nOUTPUTDEBUG GRLOCATEX\nDISPLAY UPDATE\n"
        "STOP";
    test::ProgramRun seen(source);
    test::ProgramRun unseen(source);
    unseen.host.framesSeen = false;
    EXPECT_EQ(seen.Run(), RunOutcome::Stopped);
    EXPECT_EQ(unseen.Run(), RunOutcome::Stopped);
    EXPECT_EQ(seen.host.debug.size(), 5u);
    EXPECT_EQ(unseen.host.debug, seen.host.debug);
    EXPECT_EQ(unseen.host.messages, seen.host.messages);
    EXPECT_EQ(unseen.in.run.statementCount, seen.in.run.statementCount);
    EXPECT_TRUE(seen.host.LastFrame().Valid());
    EXPECT_FALSE(unseen.host.LastFrame().Valid());
}

TEST(Display, FadeDarkensThePaletteStepByStep) {
    Shown s = Show("FADE 2\nQUIT");
    // The frames shown after each step: entry 255 (white) goes 255, 127, 0.
    ASSERT_GE(s.palettes.size(), 3u);
    const size_t n = s.palettes.size();
    EXPECT_EQ(s.palettes[n - 3][255].red, 255);
    EXPECT_EQ(s.palettes[n - 2][255].red, 127);
    EXPECT_EQ(s.palettes[n - 1][255].red, 0);
    EXPECT_EQ(s.palettes[n - 1][249].red, 0);
    Shown zero = Show("FADE 0\nSTOP");
    EXPECT_EQ(zero.messages.at(0),
              "The following run time error occured \rFADE Failed\rAt Line = 0, Token = 0");
    EXPECT_TRUE(Show("FADE -5\nSTOP").messages.empty());
    // After a fade the ink reads black from the palette.
    Shown after = Show("FADE 1\nINK 255\nPLOT 5, 5\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(after.Pixel(5, 5), 0);
}

TEST(Display, ResolutionChangesTheDisplay) {
    Shown s = Show("SCREEN OPEN 1, 50, 50\nRESOLUTION 320x240\nDISPLAY UPDATE\nSTOP");
    EXPECT_EQ(s.frame.width, 320);
    EXPECT_EQ(s.frame.height, 240);
    EXPECT_EQ(s.Pixel(10, 10), 3);  // screen 1 was closed
    EXPECT_NE(Show("RESOLUTION 333X333\nSTOP").messages.at(0).find("RTE (93)"), std::string::npos);
}

TEST(FrameFile, BmpAndPngKeepIndexesAndPalette) {
    Frame f;
    f.width = 3;
    f.height = 2;
    f.indices = {0, 1, 2, 250, 251, 255};
    for (int i = 0; i < 256; ++i)
        f.palette[i] = {static_cast<uint8_t>(i), 7, static_cast<uint8_t>(255 - i), 0};
    const auto dir = std::filesystem::temp_directory_path();
    for (const char* name : {"tarnwick_frame_test.bmp", "tarnwick_frame_test.png"}) {
        const std::string path = (dir / name).string();
        std::string error;
        ASSERT_TRUE(WriteFrame(f, path, error)) << error;
        Frame back;
        ASSERT_TRUE(ReadFrame(path, back, error)) << error;
        EXPECT_EQ(back.width, 3);
        EXPECT_EQ(back.indices, f.indices);
        EXPECT_EQ(back.palette[250].red, 250);
        EXPECT_EQ(back.palette[250].blue, 5);
        std::remove(path.c_str());
    }
    std::string error;
    EXPECT_FALSE(WriteFrame(Frame{}, (dir / "none.png").string(), error));
}

}  // namespace
}  // namespace tw
