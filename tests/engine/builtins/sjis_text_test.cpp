#include "builtins/sjis_text.h"

#include <cwctype>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>

namespace zr5::script::sjis {
namespace {

TEST(SjisText, LeadBytesAreTheTwoCp932Ranges)
{
    EXPECT_FALSE(isLeadByte(0x80));
    EXPECT_TRUE(isLeadByte(0x81));
    EXPECT_TRUE(isLeadByte(0x9F));
    EXPECT_FALSE(isLeadByte(0xA0));
    EXPECT_FALSE(isLeadByte(0xDF)); // half-width katakana
    EXPECT_TRUE(isLeadByte(0xE0));
    EXPECT_TRUE(isLeadByte(0xFC));
    EXPECT_FALSE(isLeadByte(0xFD));
}

TEST(SjisText, CountingAndSkipping)
{
    const std::string text = "a\x82\xA0\xB1"
                             "b\x82";
    EXPECT_EQ(length(text), 5u); // a, A(hiragana), half-width a, b, lone lead
    EXPECT_EQ(skip(text, 0), 0u);
    EXPECT_EQ(skip(text, 2), 3u);
    EXPECT_EQ(skip(text, 4), 5u);
    EXPECT_EQ(skip(text, 5), 6u);
    EXPECT_EQ(skip(text, 99), 6u);
    EXPECT_EQ(charSize(text, 5), 1u);
    EXPECT_EQ(counted(std::string_view("ab\0c", 4)), "ab");
}

TEST(SjisText, FindReportsCharactersBeforeTheMatch)
{
    const std::string text = "\x82\xA0\x82\xA2xy";
    EXPECT_EQ(find(text, 0, "x").offset, 4u);
    EXPECT_EQ(find(text, 0, "x").characters, 2u);
    EXPECT_EQ(find(text, 0, "\xA0\x82").offset, std::string_view::npos);
    EXPECT_EQ(find(text, 2, "\x82").offset, 2u);
    EXPECT_EQ(find(text, 6, "").characters, 4u);
    EXPECT_EQ(find(text, 0, "xyz").offset, std::string_view::npos);
}

// CP932 bytes of a Unicode character, empty when CP932 has none.
std::string toCp932(char32_t character)
{
    iconv_t converter = iconv_open("CP932", "UTF-32LE");
    char in[4] = { static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
        static_cast<char>((character >> 16) & 0xFF), 0 };
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    return done == static_cast<std::size_t>(-1) ? std::string() : std::string(out, outPtr);
}

struct LetterPair {
    const char* name;
    char32_t upperFirst;
    char32_t lowerFirst;
    int count;
};

// Every double-byte letter pair of the case table, checked against what
// iconv says the Unicode letters are in CP932.
TEST(SjisText, CaseTableMatchesTheUnicodeLetters)
{
    const LetterPair pairs[] = {
        { "full-width Latin", U'\uFF21', U'\uFF41', 26 },
        { "Greek", U'\u0391', U'\u03B1', 25 }, // includes the unassigned U+03A2 / final sigma
        { "Cyrillic", U'\u0410', U'\u0430', 32 },
    };
    int checked = 0;
    for (const LetterPair& pair : pairs) {
        for (int i = 0; i < pair.count; ++i) {
            const std::string upper = toCp932(pair.upperFirst + i);
            const std::string lower = toCp932(pair.lowerFirst + i);
            if (upper.size() != 2 || lower.size() != 2) {
                continue;
            }
            EXPECT_EQ(changeCase(lower, LetterCase::Upper), upper) << pair.name << " " << i;
            EXPECT_EQ(changeCase(upper, LetterCase::Lower), lower) << pair.name << " " << i;
            ++checked;
        }
    }
    const std::string yoUpper = toCp932(U'\u0401');
    const std::string yoLower = toCp932(U'\u0451');
    EXPECT_EQ(changeCase(yoLower, LetterCase::Upper), yoUpper);
    EXPECT_EQ(changeCase(yoUpper, LetterCase::Lower), yoLower);
    EXPECT_EQ(checked, 26 + 24 + 32);
}

TEST(SjisText, CaseLeavesOtherCharactersAlone)
{
    // Hiragana, a kanji, the trail byte 0x61 ("a") of a double-byte
    // character, half-width katakana, and Roman numeral one.
    const std::string text = "\x82\xA0\x88\x9F\x81\x61\xB1\x87\x54";
    EXPECT_EQ(changeCase(text, LetterCase::Upper), text);
    EXPECT_EQ(changeCase(text, LetterCase::Lower), text);
    EXPECT_EQ(changeCase("Hello, World\x82", LetterCase::Upper), "HELLO, WORLD\x82");
    EXPECT_EQ(changeCase("Hello, World", LetterCase::Lower), "hello, world");
}

} // namespace
} // namespace zr5::script::sjis
