#include "sjis_bytes.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <string>

namespace zr5::sjis {
namespace {

// Whether iconv reads bytes as exactly one CP932 character.
class Cp932Reader final {
public:
    Cp932Reader()
        : m_converter(iconv_open("UTF-32LE", "CP932"))
    {
    }
    ~Cp932Reader() { iconv_close(m_converter); }
    Cp932Reader(const Cp932Reader&) = delete;
    Cp932Reader& operator=(const Cp932Reader&) = delete;

    bool isOneCharacter(std::string bytes) const
    {
        iconv(m_converter, nullptr, nullptr, nullptr, nullptr);
        char* in = bytes.data();
        std::size_t inLeft = bytes.size();
        char out[8];
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        return iconv(m_converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)
            && inLeft == 0 && outLeft == sizeof out - 4;
    }

private:
    iconv_t m_converter;
};

std::string pair(unsigned lead, unsigned trail)
{
    return { static_cast<char>(lead), static_cast<char>(trail) };
}

TEST(SjisBytes, TheRangesHoldEveryCharacterOfTheCodePage)
{
    const Cp932Reader cp932;
    int pairs = 0;
    for (unsigned first = 0x01; first <= 0xFF; ++first) {
        if (cp932.isOneCharacter(std::string(1, static_cast<char>(first)))) {
            EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(first))) << first;
        }
        for (unsigned second = 0x00; second <= 0xFF; ++second) {
            if (cp932.isOneCharacter(pair(first, second))) {
                EXPECT_TRUE(isLeadByte(static_cast<unsigned char>(first))) << first << ' ' << second;
                EXPECT_TRUE(isTrailByte(static_cast<unsigned char>(second))) << first << ' ' << second;
                ++pairs;
            }
        }
    }
    EXPECT_GT(pairs, 7000) << "iconv knows CP932";
    // Ends of the ranges that CP932 leaves partly unassigned.
    EXPECT_TRUE(isLeadByte(0xFC));
    EXPECT_FALSE(isLeadByte(0xFD));
    EXPECT_FALSE(isLeadByte(0x80));
    EXPECT_FALSE(isLeadByte(0xA0));
    EXPECT_FALSE(isTrailByte(0x7F));
    EXPECT_FALSE(isTrailByte(0x3F));
    EXPECT_FALSE(isTrailByte(0xFD));
}

TEST(SjisBytes, CharactersAreStepsOfOneOrTwoBytes)
{
    const std::string text = "a\x95\x5c\xb1\x81";
    EXPECT_EQ(charSize(text, 0), 1U);
    EXPECT_EQ(charSize(text, 1), 2U);
    EXPECT_EQ(charSize(text, 3), 1U) << "half-width katakana";
    EXPECT_EQ(charSize(text, 4), 1U) << "a lead byte at the end stands alone";
}

TEST(SjisBytes, OnlyBackslashesOfTheirOwnBecomeSlashes)
{
    EXPECT_EQ(backslashesToSlashes("@Classic\\Paper"), "@Classic/Paper");
    // 表 (0x95 0x5C) and 能 (0x94 0x5C) keep their second byte; the separator
    // between them does not.
    EXPECT_EQ(backslashesToSlashes("@\x95\x5c\\\x94\x5c"), "@\x95\x5c/\x94\x5c");
    EXPECT_EQ(backslashesToSlashes("\\\\x"), "//x");
    EXPECT_EQ(backslashesToSlashes("x\x81"), "x\x81");
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (isLeadByte(static_cast<unsigned char>(lead))) {
            EXPECT_EQ(backslashesToSlashes(pair(lead, '\\') + "\\"), pair(lead, '\\') + "/") << lead;
        }
    }
}

TEST(SjisBytes, AnEndingBackslashMustBeACharacterOfItsOwn)
{
    EXPECT_FALSE(endsWithBackslash(""));
    EXPECT_FALSE(endsWithBackslash("Paper"));
    EXPECT_TRUE(endsWithBackslash("\\"));
    EXPECT_TRUE(endsWithBackslash("@Classic\\"));
    EXPECT_FALSE(endsWithBackslash("\x95\x5c"));
    EXPECT_FALSE(endsWithBackslash("@Classic\\\x95\x5c"));
    EXPECT_TRUE(endsWithBackslash("@\x95\x5c\\"));
    // Whether 0x5C is a second byte depends on everything before it.
    EXPECT_TRUE(endsWithBackslash("\x95\x5c\x5c"));
    EXPECT_TRUE(endsWithBackslash("\x95\x95\x5c"));
    EXPECT_FALSE(endsWithBackslash("\x95\x95\x95\x5c"));
}

} // namespace
} // namespace zr5::sjis
