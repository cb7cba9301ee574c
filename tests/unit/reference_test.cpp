// The language reference: an entry for every keyword the tokenizer knows, none for a word it
// does not, and every entry's example run as a program: to its end without a box, or to the
// error its entry names.

#include <gtest/gtest.h>

#include <set>

#include "commands/reference.h"
#include "frontend/keywords.h"
#include "test_support.h"

namespace tw {
namespace {

std::string_view Keyword(const ReferenceEntry& entry) {
    return entry.word.substr(0, entry.word.find(' '));
}

TEST(Reference, EveryKeywordHasAnEntryAndEveryEntryAKeyword) {
    std::set<std::string_view> commands, functions;
    for (const ReferenceEntry& entry : Reference()) {
        (entry.function ? functions : commands).insert(Keyword(entry));
    }
    for (std::string_view name : kCommandNames) {
        if (!name.empty()) {
            EXPECT_TRUE(commands.contains(name)) << "no entry for " << name;
        }
    }
    for (std::string_view name : kFunctionNames) {
        EXPECT_TRUE(functions.contains(name)) << "no entry for the function " << name;
    }
    std::set<std::pair<std::string_view, bool>> forms;  // (REPEAT is a command and a function)
    for (const ReferenceEntry& entry : Reference()) {
        const int found =
            entry.function ? FindFunction(Keyword(entry)) : FindCommand(Keyword(entry));
        EXPECT_GE(found, 0) << entry.word << " is no keyword";
        EXPECT_TRUE(forms.insert({entry.word, entry.function}).second)
            << entry.word << " has two entries";
        EXPECT_FALSE(entry.syntax.empty()) << entry.word;
        EXPECT_FALSE(entry.text.empty()) << entry.word;
        EXPECT_FALSE(entry.example.empty()) << entry.word;
    }
}

TEST(Reference, EveryExampleRunsAsItsEntrySays) {
    const test::GameFiles game;
    const RunFiles files = game.Files();
    for (const ReferenceEntry& entry : Reference()) {
        SCOPED_TRACE(std::string(entry.word));
        const PreparedProgram program = Prepare(std::string(entry.example));
        ASSERT_TRUE(program.Ok()) << "the example does not pass its test";
        test::RecordingHost host;
        host.advancePerPass = true;  // the clock moves a millisecond a pass
        Interpreter in(host);
        in.sprites.files = &files;
        in.limits.maxStatements = 200000;
        const RunOutcome outcome = RunProgram(in, program);
        if (entry.exampleError) {
            // Its text up to the first placeholder.
            const std::string_view text = Entry(*entry.exampleError).text;
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].find(text.substr(0, text.find("{}"))), std::string::npos)
                << host.messages[0];
        } else {
            EXPECT_EQ(outcome, RunOutcome::Stopped);
            EXPECT_TRUE(host.messages.empty()) << host.messages[0];
            EXPECT_LT(in.run.statementCount, in.limits.maxStatements) << "it never ends";
        }
    }
}

TEST(Reference, AWordLeadsToItsEntriesInAnyCase) {
    ASSERT_FALSE(FindReference("for").empty());
    EXPECT_EQ(FindReference("for")[0]->word, "FOR");
    EXPECT_TRUE(FindReference("NOSUCHWORD").empty());
    const std::string text = ReferenceText(*FindReference("FOR")[0]);
    EXPECT_NE(text.find("RTE (64) - Could find no terminating NEXT command for FOR command"),
              std::string::npos);
    EXPECT_NE(text.find("    NEXT I"), std::string::npos);  // the example, indented
    EXPECT_NE(ReferenceIndex().find("FOR"), std::string::npos);
}

}  // namespace
}  // namespace tw
