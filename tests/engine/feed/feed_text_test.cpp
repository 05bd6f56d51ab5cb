// The stand-in encoder and the entity decoder on their own.
#include "feed/cp932_decoder.h"
#include "feed/feed_reader.h"

#include <gtest/gtest.h>

namespace {

using namespace zr5::script::feed;
using namespace std::string_literals;

const std::string kGeta = "\x81\xAC";

TEST(StandInEncoder, ConvertsWhatCp932HoldsAndReplacesTheRest)
{
    // "ニュース" and the wave dash, which CP932 writes as 0x8160 whichever
    // of the two Unicode tildes the text used.
    EXPECT_EQ(utf8ToCp932WithStandIns("\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC\xE3\x82\xB9"),
        "\x83\x6A\x83\x85\x81\x5B\x83\x58");
    EXPECT_EQ(utf8ToCp932WithStandIns("\xE3\x80\x9C\xEF\xBD\x9E"), "\x81\x60\x81\x60");
    EXPECT_EQ(utf8ToCp932WithStandIns("caf\xC3\xA9 \xC3\x85ngstr\xC3\xB6m \xE1\xBB\x87"), "cafe Angstrom e");
    EXPECT_EQ(utf8ToCp932WithStandIns("\xED\x95\x9C\xEA\xB5\xAD"), kGeta + kGeta);
    EXPECT_EQ(utf8ToCp932WithStandIns("a\xF0\x9F\x98\x80z"), "a" + kGeta + "z");
    // No single base letter: the geta mark, not a guess.
    EXPECT_EQ(utf8ToCp932WithStandIns("\xC3\x86"), kGeta);
    // Characters CP932 has keep their own code even inside the Latin ranges.
    EXPECT_EQ(utf8ToCp932WithStandIns("\xC3\x97"), "\x81\x7E");
}

// Shift_JIS feeds are decoded by a table of our own and written back by the
// encoder: every character CP932 assigns must survive the round trip (its
// NEC and IBM duplicates may come back as the other twin, which decodes alike).
TEST(Cp932Decoder, EveryAssignedCharacterRoundTrips)
{
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair { static_cast<char>(lead), static_cast<char>(trail) };
            const std::string utf8 = cp932ToUtf8(pair);
            if ((lead > 0x9F && lead < 0xE0) || utf8 == "\xEF\xBF\xBD" + cp932ToUtf8(pair.substr(1))) {
                continue;
            }
            ++assigned;
            EXPECT_EQ(cp932ToUtf8(utf8ToCp932WithStandIns(utf8)), utf8) << std::hex << lead << trail;
        }
    }
    EXPECT_GT(assigned, 7000);
    EXPECT_EQ(cp932ToUtf8("\xB1\xDF"), "\xEF\xBD\xB1\xEF\xBE\x9F"); // half-width katakana
}

TEST(Cp932Decoder, AnUnassignedPairGivesUpOnlyItsLeadByte)
{
    EXPECT_EQ(cp932ToUtf8("a\x82 b"), "a\xEF\xBF\xBD b");
    EXPECT_EQ(cp932ToUtf8("\x82"), "\xEF\xBF\xBD");
    EXPECT_EQ(cp932ToUtf8("\x82\n\x82\xA0"), "\xEF\xBF\xBD\n\xE3\x81\x82"); // then "あ"
    EXPECT_EQ(utf8ToCp932WithStandIns(cp932ToUtf8("\x82")), kGeta);
}

TEST(StandInEncoder, InvalidBytesBecomeGetaAndNulIsDropped)
{
    EXPECT_EQ(utf8ToCp932WithStandIns("a\xFF"
                                      "b"),
        "a" + kGeta + "b");
    EXPECT_EQ(utf8ToCp932WithStandIns("\xC0\xAF"), kGeta + kGeta); // overlong '/'
    EXPECT_EQ(utf8ToCp932WithStandIns("\xED\xA0\x80"), kGeta + kGeta + kGeta); // surrogate
    EXPECT_EQ(utf8ToCp932WithStandIns("end\xE3\x83"), "end" + kGeta + kGeta); // cut short
    EXPECT_EQ(utf8ToCp932WithStandIns("a\0b"s), "ab");
    EXPECT_EQ(utf8ToCp932WithStandIns(""), "");
}

TEST(EntityDecoder, DecodesNamedAndNumericReferences)
{
    EXPECT_EQ(decodeHtmlEntities("Tom &amp; Jerry &lt;&gt;&quot;&apos;"), "Tom & Jerry <>\"'");
    EXPECT_EQ(decodeHtmlEntities("caf&eacute; &#233; &#xE9; &#XE9;"), "cafe e e e");
    EXPECT_EQ(decodeHtmlEntities("&copy;&#x1F600;&#xAC00;"), kGeta + kGeta + kGeta);
    EXPECT_EQ(decodeHtmlEntities("&#x301C;&#12371;"), "\x81\x60\x82\xB1");
    EXPECT_EQ(decodeHtmlEntities("?a=1&amp;b=2"), "?a=1&b=2");
}

TEST(EntityDecoder, LeavesMalformedReferencesAsWritten)
{
    for (const char* text : { "&", "&amp", "a & b", "&unknown;", "&#0;", "&#xD800;", "&#x110000;",
             "&#99999999999999999999;", "&#;", "&#x;", "&#12a;", "&;", "&Amp;" }) {
        EXPECT_EQ(decodeHtmlEntities(text), text) << text;
    }
    EXPECT_EQ(decodeHtmlEntities("&&amp;"), "&&");
}

TEST(EntityDecoder, PassesShiftJisTextUnchanged)
{
    // "表&amp;示": 0x955C has a trail byte that is '\\' in ASCII.
    EXPECT_EQ(decodeHtmlEntities("\x95\x5C&amp;\x8E\xA6"), "\x95\x5C&\x8E\xA6");
    EXPECT_EQ(decodeHtmlEntities("\x83\x41\x83\x43"), "\x83\x41\x83\x43");
}

} // namespace
