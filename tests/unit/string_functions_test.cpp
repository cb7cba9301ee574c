// INSTR's search against the plain one it replaced: every position from `start` tried in turn.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "commands/registry.h"

namespace tw {
namespace {

int32_t PlainSearch(const std::string& s, const std::string& sub, int32_t start) {
    const int64_t lastStart = static_cast<int64_t>(s.size()) - static_cast<int64_t>(sub.size()) + 1;
    for (int64_t p = start; p <= lastStart; ++p) {
        if (p >= 1 && s.compare(static_cast<size_t>(p - 1), sub.size(), sub) == 0) {
            return static_cast<int32_t>(p);
        }
    }
    return -1;
}

// Texts of two or three letters, so that matches, near matches and overlaps are common.
std::string RandomText(std::mt19937& random, int longest, int letters) {
    std::string out(std::uniform_int_distribution<int>(0, longest)(random), 'a');
    for (char& c : out) c = static_cast<char>('a' + random() % letters);
    return out;
}

TEST(FindText, GivesThePlainSearchsAnswerOnRandomTexts) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 20000; ++round) {
        const int letters = 2 + round % 2;
        const std::string s = RandomText(random, 24, letters);
        const std::string sub = RandomText(random, round % 5 == 0 ? 12 : 4, letters);
        const int32_t start = std::uniform_int_distribution<int32_t>(-3, 28)(random);
        ASSERT_EQ(FindText(s, sub, start), PlainSearch(s, sub, start))
            << "s=\"" << s << "\" sub=\"" << sub << "\" start=" << start;
    }
}

TEST(FindText, EdgesOfTheStartAndOfEmptyTexts) {
    EXPECT_EQ(FindText("", "", 1), 1);
    EXPECT_EQ(FindText("", "", 2), -1);
    EXPECT_EQ(FindText("", "a", 1), -1);
    EXPECT_EQ(FindText("abc", "", 4), 4);
    EXPECT_EQ(FindText("abc", "", 5), -1);
    EXPECT_EQ(FindText("abc", "abcd", 1), -1);
    EXPECT_EQ(FindText("abcabc", "c", INT32_MAX), -1);
    EXPECT_EQ(FindText("abcabc", "a", INT32_MIN), 1);
    EXPECT_EQ(FindText(std::string("a\0b", 3), std::string("\0b", 2), 1), 2);
}

}  // namespace
}  // namespace tw
