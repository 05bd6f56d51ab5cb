// Token streams of the scanner, checked code by code.
#include "interp/interpreter.h"
#include "lang/parse_context.h"
#include "lang/parser.hpp"
#include "lang/scanner.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr5::script {
namespace {

struct Token {
    int code;
    TokenValue value;
};

class ScannerTest : public ::testing::Test {
protected:
    std::vector<Token> scan(const std::string& source)
    {
        m_source = source;
        m_context = std::make_unique<ParseContext>(m_interpreter);
        const Scanner scanner(*m_context, m_source);
        std::vector<Token> tokens;
        for (;;) {
            Token token { 0, {} };
            token.code = nextToken(token.value, *m_context);
            if (token.code == 0) {
                return tokens;
            }
            tokens.push_back(token);
        }
    }

    std::vector<int> codes(const std::string& source)
    {
        std::vector<int> result;
        for (const Token& token : scan(source)) {
            result.push_back(token.code);
        }
        return result;
    }

    Interpreter m_interpreter;
    std::string m_source;
    std::unique_ptr<ParseContext> m_context;
};

TEST_F(ScannerTest, TokenCodesFollowTheFixedNumbering)
{
    EXPECT_EQ(IF, 257);
    EXPECT_EQ(NUL, 268);
    EXPECT_EQ(IDENTIFIER, 272);
    EXPECT_EQ(ASSIGN, 274);
    EXPECT_EQ(NEW, 290);
    EXPECT_EQ(POSTMM, 294);
}

TEST_F(ScannerTest, KeywordsBeatIdentifiersOnlyWhenWhole)
{
    EXPECT_EQ(codes("whilex while( NULL True null true"),
        (std::vector<int> { IDENTIFIER, WHILE, '(', IDENTIFIER, IDENTIFIER, NUL, BOOL }));
    EXPECT_EQ(scan("false true")[1].value.code, 1);
    EXPECT_EQ(scan("new")[0].value.code, NEW);
}

TEST_F(ScannerTest, LongestOperatorWins)
{
    const auto tokens = scan(">>>= >>> !== >>= <<= |= ||");
    ASSERT_EQ(tokens.size(), 7u);
    EXPECT_EQ(tokens[0].code, ASSIGN);
    EXPECT_EQ(tokens[0].value.code, LOGRSHIFT);
    EXPECT_EQ(tokens[1].code, LOGRSHIFT);
    EXPECT_EQ(tokens[2].code, NOTEQEQ);
    EXPECT_EQ(tokens[3].value.code, RSHIFT);
    EXPECT_EQ(tokens[4].value.code, LSHIFT);
    EXPECT_EQ(tokens[5].value.code, '|');
    EXPECT_EQ(tokens[6].code, OROR);
}

TEST_F(ScannerTest, NumberForms)
{
    const auto tokens = scan("0 07 0x1F 3000000000 09.5 08 1e 1.5.5");
    std::vector<double> numbers;
    for (const Token& token : tokens) {
        numbers.push_back(token.code == NUMBER ? token.value.number : -1);
    }
    EXPECT_EQ(numbers, (std::vector<double> { 0, 7, 31, 2147483647, 9.5, 0, 8, 1, -1, 1.5, 0.5 }));
}

TEST_F(ScannerTest, EqualTextsSharePooledPointers)
{
    const auto tokens = scan("name 'name' \"name\" other name");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[0].value.text, tokens[1].value.text);
    EXPECT_EQ(tokens[1].value.text, tokens[2].value.text);
    EXPECT_EQ(tokens[0].value.text, tokens[4].value.text);
    EXPECT_NE(tokens[0].value.text, tokens[3].value.text);
    EXPECT_STREQ(tokens[3].value.text, "other");
}

TEST_F(ScannerTest, DoubleByteCharactersStayWholeInStrings)
{
    const auto tokens = scan("'\x95\x5c' \"\x95\" '\\\x95\x5cx'");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_STREQ(tokens[0].value.text, "\x95\x5c");
    // A lead byte before a byte below 0x40 stands alone: the quote still closes.
    EXPECT_STREQ(tokens[1].value.text, "\x95");
    // An escaped lead byte is taken alone, so its second byte escapes "x".
    EXPECT_STREQ(tokens[2].value.text, "\x95x");
}

TEST_F(ScannerTest, LinesCountInEveryState)
{
    scan("a\n/* x\ny */ 'p\\\nq'\n// c\nb");
    EXPECT_EQ(m_context->line, 6);
}

TEST_F(ScannerTest, BytesOutsideTheLanguageAreUnknownTokens)
{
    EXPECT_EQ(codes("a \x81\x40 $ ` \r b"),
        (std::vector<int> { IDENTIFIER, kUnknownByteToken, '@', '$', '`', '\r', IDENTIFIER }));
}

} // namespace
} // namespace zr5::script
