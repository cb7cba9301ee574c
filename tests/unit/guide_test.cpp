// The getting-started guide (docs/guide.md): every listing in it runs as a program, with the
// example game's sprites and paths as its project's files, to its end or to the statement
// limit (the keyboard listings wait for keys that never come), without a message box.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_support.h"

namespace tw {
namespace {

std::vector<std::string> Listings(const std::string& text) {
    std::vector<std::string> listings;
    const std::string open = "```basic\n", close = "```";
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        at += open.size();
        const size_t end = text.find(close, at);
        if (end == std::string::npos) break;
        listings.push_back(text.substr(at, end - at));
        at = end + close.size();
    }
    return listings;
}

TEST(Guide, EveryListingRuns) {
    std::ifstream in(std::filesystem::path(TARNWICK_SOURCE_DIR) / "docs" / "guide.md");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<std::string> listings = Listings(text);
    ASSERT_GE(listings.size(), 6u);
    const test::GameFiles game;
    const RunFiles files = game.Files();
    for (size_t i = 0; i < listings.size(); ++i) {
        SCOPED_TRACE("listing " + std::to_string(i + 1) + ":\n" + listings[i]);
        const PreparedProgram program = Prepare(listings[i]);
        ASSERT_TRUE(program.Ok()) << "the listing does not pass its test";
        test::RecordingHost host;
        host.advancePerPass = true;
        host.debugShown = true;
        Interpreter run(host);
        run.sprites.files = &files;
        run.limits.maxStatements = 100000;
        EXPECT_EQ(RunProgram(run, program), RunOutcome::Stopped);
        EXPECT_TRUE(host.messages.empty()) << host.messages[0];
    }
}

// What the guide says its first listings print.
TEST(Guide, TheListingsPrintWhatTheGuideSays) {
    std::ifstream in(std::filesystem::path(TARNWICK_SOURCE_DIR) / "docs" / "guide.md");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<std::string> listings = Listings(text);
    ASSERT_GE(listings.size(), 2u);
    auto output = [](const std::string& source) {
        test::RecordingHost host;
        host.debugShown = true;
        Interpreter run(host);
        RunProgram(run, Prepare(source));
        return host.debug;
    };
    EXPECT_EQ(output(listings[0]), (std::vector<std::string>{"Hello, world"}));
    EXPECT_EQ(output(listings[1]),
              (std::vector<std::string>{"off the edge", "X > 780 is 0", "X is still 900"}));
}

}  // namespace
}  // namespace tw
