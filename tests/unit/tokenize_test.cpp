#include <gtest/gtest.h>

#include <cstdint>

#include "frontend/number_text.h"
#include "frontend/tokenize.h"

namespace tw {
namespace {

std::vector<std::string> Tokens(std::string_view line) {
    return TokenizeLine(line).tokens;
}

using V = std::vector<std::string>;

TEST(Scanner, SplitsAtSpacesAndDelimiters) {
    EXPECT_EQ(Tokens("PRINT \"HELLO WORLD\""), (V{"PRINT", "\"HELLO WORLD\""}));
    EXPECT_EQ(Tokens("X<=Y"), (V{"X", "<=", "Y"}));
    EXPECT_EQ(Tokens("X<>Y"), (V{"X", "<>", "Y"}));
    EXPECT_EQ(Tokens("X>=Y"), (V{"X", ">=", "Y"}));
    EXPECT_EQ(Tokens("X>>Y"), (V{"X", ">>", "Y"}));
    EXPECT_EQ(Tokens("X<Y"), (V{"X", "<", "Y"}));
    EXPECT_EQ(Tokens("A+1"), (V{"A+1"}));  // + - . ! # ' are word characters
    EXPECT_EQ(Tokens("A - 1.5"), (V{"A", "-", "1.5"}));
    EXPECT_EQ(Tokens("LEFT$(A,1)"), (V{"LEFT", "$", "(", "A", ",", "1", ")"}));
    EXPECT_EQ(Tokens("START:"), (V{"START", ":"}));
    EXPECT_EQ(Tokens("\tLET\tX = 1  "), (V{"LET", "X", "=", "1"}));
    EXPECT_EQ(Tokens("a(b)c"), (V{"a", "(", "b", ")", "c"}));
    EXPECT_EQ(Tokens("' comment"), (V{"'", "comment"}));
}

TEST(Scanner, StringsKeepTheirQuotesAndSpaces) {
    EXPECT_EQ(Tokens("\"a, (b)\"x"), (V{"\"a, (b)\"", "x"}));
    // A quote that begins inside a word continues the word up to the closing quote.
    EXPECT_EQ(Tokens("ab\"c d\"e f"), (V{"ab\"c d\"", "e", "f"}));
    EXPECT_EQ(Tokens("\"\""), (V{"\"\""}));
    // An unterminated string, with what was joined to its front, is dropped with the rest.
    EXPECT_EQ(Tokens("PRINT 1, ab\"cd"), (V{"PRINT", "1", ","}));
}

TEST(Scanner, NextTokenAdvancesPosition) {
    int position = 1;
    EXPECT_EQ(NextToken(position, "AB(C"), "AB");
    EXPECT_EQ(position, 3);  // the delimiter is read again
    EXPECT_EQ(NextToken(position, "AB(C"), "(");
    EXPECT_EQ(NextToken(position, "AB(C"), "C");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(NextToken(position, "AB(C"), "");
    EXPECT_EQ(position, 5);
}

TEST(Scanner, TokenLimitPerLine) {
    std::string line;
    for (int i = 0; i < 199; ++i) line += "A ";
    TokenizeLineResult ok = TokenizeLine(line);
    EXPECT_FALSE(ok.failed);
    EXPECT_EQ(ok.tokens.size(), 199u);
    TokenizeLineResult bad = TokenizeLine(line + "B");
    EXPECT_TRUE(bad.failed);
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.message, kTokenBufferMessage);
}

std::vector<std::string> Rows(const std::vector<std::string>& lines) {
    TokenBuffer buffer;
    TokenizeSuccess r = FillTokenBuffer(lines, buffer);
    EXPECT_FALSE(r.failed) << r.message;
    std::vector<std::string> rows;
    for (int i = 0; !buffer.RowEmpty(i); ++i) {
        std::string row;
        for (int c = 0; c < kTokenColumns && !buffer.Cell(i, c).empty(); ++c) {
            row += (c ? " " : "") + buffer.Cell(i, c);
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(FillTokenBuffer, DropsCommentsAndBlankLines) {
    EXPECT_EQ(Rows({"REM a comment", "", "   ", "rem x", "Rem", "LET A = 1", "' note", "REMARK"}),
              (V{"LET A = 1", "' note", "REMARK"}));
    EXPECT_EQ(Rows({}), V{});
}

TEST(FillTokenBuffer, SplitsOneLineConditionals) {
    EXPECT_EQ(Rows({"IF X = 1 THEN PRINT 1 ELSE PRINT 2"}),
              (V{"IF X = 1 THEN", "PRINT 1", "ELSE", "PRINT 2", "ENDIF"}));
    EXPECT_EQ(Rows({"if x then print 1"}), (V{"if x then", "print 1", "ENDIF"}));
    // A line that ends in THEN is a block conditional: no split, no ENDIF.
    EXPECT_EQ(Rows({"IF X THEN", "PRINT 1", "ELSE", "PRINT 2", "ENDIF"}),
              (V{"IF X THEN", "PRINT 1", "ELSE", "PRINT 2", "ENDIF"}));
    EXPECT_EQ(Rows({"IF X THEN PRINT 1 ELSE"}), (V{"IF X THEN", "PRINT 1 ELSE", "ENDIF"}));
}

TEST(FillTokenBuffer, ElseOpeningALineKeepsTheProgramWhole) {
    // The ELSE takes the fresh row instead of leaving an empty row that would end the program.
    EXPECT_EQ(Rows({"IF X THEN", "PRINT 1", "ELSE PRINT 2", "ENDIF", "STOP"}),
              (V{"IF X THEN", "PRINT 1", "ELSE", "PRINT 2", "ENDIF", "STOP"}));
    EXPECT_EQ(Rows({"IF X THEN ELSE PRINT 2", "STOP"}),
              (V{"IF X THEN", "ELSE", "PRINT 2", "ENDIF", "STOP"}));
}

TEST(FillTokenBuffer, RemembersSourceLines) {
    TokenBuffer buffer;
    FillTokenBuffer({"REM x", "", "IF A THEN B", "C"}, buffer);
    EXPECT_EQ(buffer.SourceLine(0), 2);
    EXPECT_EQ(buffer.SourceLine(1), 2);
    EXPECT_EQ(buffer.SourceLine(2), 2);  // the ENDIF row
    EXPECT_EQ(buffer.SourceLine(3), 3);
}

TEST(FillTokenBuffer, Limits) {
    TokenBuffer buffer;
    std::vector<std::string> lines(2001, "A");
    EXPECT_FALSE(FillTokenBuffer(lines, buffer).failed);
    EXPECT_FALSE(buffer.RowEmpty(2000));
    lines.push_back("A");
    TokenizeSuccess tooMany = FillTokenBuffer(lines, buffer);
    EXPECT_TRUE(tooMany.failed);
    EXPECT_EQ(tooMany.code, 2);
    EXPECT_EQ(tooMany.message, kSourceBufferMessage);

    // Splitting one-line conditionals can need more rows than the buffer has.
    std::vector<std::string> split(700, "IF A THEN B");
    TokenizeSuccess tooLong = FillTokenBuffer(split, buffer);
    EXPECT_TRUE(tooLong.failed);
    EXPECT_EQ(tooLong.code, 2);
    EXPECT_EQ(tooLong.message, kRowBufferMessage);
    std::vector<std::string> fits(667, "IF A THEN B");  // 2001 rows exactly
    EXPECT_FALSE(FillTokenBuffer(fits, buffer).failed);

    std::string longLine;
    for (int i = 0; i < 200; ++i) longLine += "A ";
    TokenizeSuccess tokens = FillTokenBuffer({"LET A = 1", "REM " + longLine}, buffer);
    EXPECT_TRUE(tokens.failed);  // even a comment line is cut into tokens first
    EXPECT_EQ(tokens.message, kTokenBufferMessage);
}

TEST(SourceLines, SplitAtEveryLineEnd) {
    EXPECT_EQ(SplitSourceLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitSourceLines("a\n"), (V{"a"}));  // a final line end adds no line
    EXPECT_EQ(SplitSourceLines("a\n\n"), (V{"a", ""}));
    EXPECT_EQ(SplitSourceLines("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(SplitSourceLines(""), V{});
    EXPECT_EQ(SplitSourceLines("a\n\rb"), (V{"a", "", "b"}));
}

TEST(NumberTextParsing, WholeNumbers) {
    int32_t v = 7;
    EXPECT_TRUE(ParseWholeNumber("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(ParseWholeNumber("2147483647", v));
    EXPECT_EQ(v, INT32_MAX);
    EXPECT_TRUE(ParseWholeNumber("+12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseWholeNumber("007", v));
    EXPECT_EQ(v, 7);
    v = 99;
    for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999", "", "-", "+",
                            "1.0", "1E3", " 1", "1 ", "0x10", "--1", "1-"}) {
        EXPECT_FALSE(ParseWholeNumber(bad, v)) << bad;
    }
    EXPECT_EQ(v, 99);
}

TEST(NumberTextParsing, Decimals) {
    double v = 0;
    struct Case {
        const char* text;
        double value;
    } good[] = {{"1.5", 1.5},    {".5", 0.5},     {"5.", 5.0},        {"-0.25", -0.25},
                {"1E3", 1000.0}, {"1e3", 1000.0}, {"2.5E-3", 0.0025}, {"+4", 4.0},
                {"1E+2", 100.0}, {"1E-400", 0.0}, {"0", 0.0}};
    for (const Case& c : good) {
        ASSERT_TRUE(ParseDecimal(c.text, v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    for (const char* bad : {"", ".", "-", "E5", "1E", "1E+", "1.2.3", "1E400", "-1E400", " 1", "1 ",
                            "1,5", "ABC", "\"5\"", "inf", "nan", "0x1p3"}) {
        EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
    }
}

}  // namespace
}  // namespace tw
