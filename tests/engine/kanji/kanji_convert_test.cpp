// Behaviour of kanjiConvert where it deliberately differs from nkf (see
// docs/KANJI.md), its options, and what it does with broken input.
#include "kanji/kanji_convert.h"
#include "kanji/kanji_options.h"
#include "kanji_test_support.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace zr5::script::kanji::test {
namespace {

std::string convert(std::string_view input)
{
    return kanjiConvert(input, "-s -Lu");
}

std::string sjis(std::string_view utf8Text)
{
    return encodeAs(utf8Text, "CP932");
}

TEST(KanjiOptions, OnlyShiftJisAndUnixLineEndsHaveAnEffect)
{
    EXPECT_EQ(parseOptions("-s -Lu").lineEnd, LineEnd::Unix);
    EXPECT_EQ(parseOptions("  -Lu   -s ").lineEnd, LineEnd::Unix);
    EXPECT_EQ(parseOptions("-s").lineEnd, LineEnd::Keep);
    EXPECT_EQ(parseOptions("-Lw -m0 --fb-skip").lineEnd, LineEnd::Keep);
    EXPECT_EQ(parseOptions("-Lux").lineEnd, LineEnd::Keep);
}

TEST(KanjiOptions, WithoutUnixLineEndsCrAndEofMarkStay)
{
    const std::string input = sjis("見出し\r\n本文\r終わり\x1A");
    EXPECT_EQ(hex(kanjiConvert(input, "-s")), hex(input));
    EXPECT_EQ(hex(kanjiConvert(input, "-s -Lu")), hex(sjis("見出し\n本文\n終わり")));
}

// nkf 2.1 keeps 0x1A; the engine's documents must not carry it.
TEST(KanjiDifferences, EofMarkIsDroppedEverywhere)
{
    EXPECT_EQ(convert("ab\x1A"
                      "cd\x1A"),
        "abcd");
    EXPECT_EQ(hex(convert(encodeAs("前\x1A後", "EUC-JP"))), hex(sjis("前後")));
}

// nkf loses everything after a byte that is invalid in the established
// encoding; only that byte is dropped here.
TEST(KanjiDifferences, InvalidByteInsideShiftJisDropsOnlyThatByte)
{
    const std::string input = sjis("日本語の見出し") + "\xFD" + sjis("です\n");
    EXPECT_EQ(hex(convert(input)), hex(sjis("日本語の見出しです\n")));
    const std::string utf8 = std::string("日本語の見出し") + "\xFF" + "です\n";
    EXPECT_EQ(hex(convert(utf8)), hex(sjis("日本語の見出しです\n")));
}

// nkf drops a half-width katakana (and the byte after it) when that byte is
// what settles the encoding; the katakana is kept here.
TEST(KanjiDifferences, HalfWidthKatakanaBeforeAsciiIsKept)
{
    EXPECT_EQ(hex(convert("a\xB6\n")), hex(sjis("aカ\n")));
    EXPECT_EQ(hex(convert("\xA2"
                          "f")),
        hex(sjis("「f")));
    EXPECT_EQ(hex(convert("\xB6")), hex(sjis("カ")));
}

TEST(KanjiConversion, TruncatedLastCharacterIsDropped)
{
    const std::string text = "株価は３日連続で上昇し、終値は２万円台を回復した。\n";
    EXPECT_EQ(hex(convert(text + "\xE6\x97")), hex(sjis(text)));
    EXPECT_EQ(hex(convert(sjis(text) + "\x93")), hex(sjis(text)));
    EXPECT_EQ(hex(convert(encodeAs(text, "EUC-JP") + "\xC6")), hex(sjis(text)));
}

TEST(KanjiDifferences, Latin1EncodedWordsAreReadAsLatin1)
{
    // Characters without a Shift_JIS form are dropped; the yen sign and the
    // macron have JIS look-alikes.
    EXPECT_EQ(hex(convert("=?ISO-8859-1?Q?caf=E9_=A5=AF?=")), hex(sjis("caf ￥￣")));
    EXPECT_EQ(hex(convert("=?ISO-8859-1?B?R3L8HyA=?=")), hex("Gr\x1F "));
}

TEST(KanjiDifferences, QuotedIso2022WordIsDecoded)
{
    EXPECT_EQ(hex(convert("=?ISO-2022-JP?Q?=1B$BF|K\\=1B(B?=")), hex(sjis("日本")));
}

// nkf reads the closing "?=" of a base64 word without its padding as payload
// and writes stray bytes, zero bytes among them; the bits of the incomplete
// last group are dropped here.
TEST(KanjiDifferences, UnpaddedBase64WordIsDecodedAsFarAsItGoes)
{
    EXPECT_EQ(convert("=?UTF-8?B?YWI?=x"), "abx");
    EXPECT_EQ(convert("=?UTF-8?B?YQ=?=x"), "ax");
    EXPECT_EQ(hex(convert("=?UTF-8?B?5pel5p?=x")), hex(sjis("日x")));
}

// nkf makes a byte of whatever follows '=' and may swallow the text after the
// word; here a broken escape stays as written, and so does a Q word broken by
// white space (nkf decodes it up to the space).
TEST(KanjiDifferences, BrokenQuotedWordsKeepTheirText)
{
    EXPECT_EQ(convert("=?UTF-8?Q?a=ZZb?=x y"), "a=ZZbx y");
    EXPECT_EQ(convert("=?UTF-8?Q?a=3?=x"), "a=3x");
    EXPECT_EQ(convert("=?UTF-8?Q?a b?=x"), "=?UTF-8?Q?a b?=x");
}

TEST(KanjiConversion, ZeroBytesInsideEncodedWordsAreDropped)
{
    // "日本" and a zero byte in EUC-JP, base64 encoded.
    EXPECT_EQ(hex(convert("=?EUC-JP?B?xvzL3AA=?=x=?US-ASCII?Q?a=00b?=")), hex(sjis("日本xab")));
}

TEST(KanjiConversion, HalfWidthKatakanaFromUtf8AreCombined)
{
    EXPECT_EQ(hex(convert("ｶﾞﾊﾟｳﾞﾜﾞﾞ")), hex(sjis("ガパヴワ゛゛")));
}

TEST(KanjiConversion, Utf16OddLastByteIsIgnored)
{
    EXPECT_EQ(hex(convert("\xFF\xFE\x42\x30\x44")), hex(sjis("あ")));
    EXPECT_EQ(hex(convert("\xFE\xFF\x30\x42\x30")), hex(sjis("あ")));
}

TEST(KanjiConversion, Utf16CharactersBeyondShiftJisAreDropped)
{
    // U+20B9F as a surrogate pair, a lone low surrogate, then "あ".
    EXPECT_EQ(hex(convert("\xFF\xFE\x42\xD8\x9F\xDF\x12\xDC\x42\x30")), hex(sjis("あ")));
}

// nkf writes U+0000 as a zero byte and loses the character after a lone high
// surrogate; here both are dropped alone.
TEST(KanjiDifferences, Utf16ZeroAndLoneHighSurrogateAreDroppedAlone)
{
    EXPECT_EQ(convert(std::string("\xFF\xFE"
                                  "a\0\0\0b\0",
                  8)),
        "ab");
    EXPECT_EQ(convert(std::string("\xFE\xFF"
                                  "\0a\0\0\0b",
                  8)),
        "ab");
    EXPECT_EQ(hex(convert("\xFF\xFE\x42\x30\x42\xD8\x44\x30")), hex(sjis("あい")));
}

TEST(KanjiConversion, Utf16IsReadWholeOnlyWithByteOrderMark)
{
    const std::string le = encodeAs("見出し\r\nabc ｶﾞ", "UTF-16LE");
    EXPECT_EQ(hex(convert("\xFF\xFE" + le)), hex(sjis("見出し\nabc ガ")));
    EXPECT_EQ(hex(convert(encodeAs("\uFEFF見出し abc", "UTF-16BE"))), hex(sjis("見出し abc")));
    // Without the mark the text ends at its first zero byte, that of "\r".
    EXPECT_EQ(hex(convert(le)), hex(convert(le.substr(0, le.find('\0')))));
    EXPECT_EQ(convert(le).find("abc"), std::string::npos);
}

TEST(KanjiConversion, CutEscapeSequenceAtTheEndIsDropped)
{
    EXPECT_EQ(convert("abc\x1B$"), "abc");
    EXPECT_EQ(convert("abc\x1B"), "abc");
    EXPECT_EQ(convert("abc\x1B$("), "abc");
    EXPECT_EQ(convert("\x1BK"), "\x1BK");
}

struct BrokenInput {
    std::string name;
    std::string bytes;
};

std::vector<BrokenInput> brokenInputs()
{
    return {
        { "eucjp_lone_lead", sjis("") + encodeAs("日本", "EUC-JP") + "\xA4" },
        { "eucjp_ss2_bad_trail", encodeAs("日本", "EUC-JP") + "\x8E\xE0\x8E" },
        { "eucjp_ss3_cut", encodeAs("日本", "EUC-JP") + "\x8F\xA1" },
        { "sjis_bad_trail", sjis("日本") + "\x81\x20\x81" },
        { "sjis_never_valid", sjis("日本") + "\x80\xA0\xFD\xFE\xFF" },
        { "utf8_overlong", "日本\xC0\xAF\xE0\x80\xAF" },
        { "utf8_surrogate", "日本\xED\xA0\x80" },
        { "utf8_beyond_unicode", "日本\xF4\x90\x80\x80\xF5\x80" },
        { "utf8_lone_continuations", "日本\x80\x80\xBF" },
        { "utf8_cut_four_byte", "日本\xF0\x9F\x98" },
        { "iso2022_cut_kanji", "\x1B$BF" },
        { "iso2022_kana_out_of_range", "\x1B(I\x60\x7E\x1B(B" },
        { "iso2022_x0212_pairs", "\x1B$(DF|K\x1B(B" },
        { "mime_bad_base64", "=?UTF-8?B?####?= =?UTF-8?B?\xFF\xFE?=" },
        { "mime_nested_starts", "=?=?UTF-8?B?=?SHIFT_JIS?Q?=?=" },
        { "utf16_odd", "\xFF\xFE\x42" },
        { "utf16_bom_only", "\xFE\xFF" },
        { "only_high_bytes", std::string(5000, '\xFF') },
        { "ambiguous_then_broken", std::string(3000, '\xA4') + "\x80" },
    };
}

class KanjiBrokenInput : public ::testing::TestWithParam<BrokenInput> { };

TEST_P(KanjiBrokenInput, GivesWellFormedBoundedOutput)
{
    const std::string& input = GetParam().bytes;
    const std::string out = convert(input);
    EXPECT_TRUE(isWellFormedOutput(out)) << hex(out);
    EXPECT_LE(out.size(), 2 * input.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, KanjiBrokenInput, ::testing::ValuesIn(brokenInputs()),
    [](const auto& info) { return info.param.name; });

TEST(KanjiBrokenInput, RandomBytesGiveWellFormedBoundedOutput)
{
    std::mt19937 random(20261207);
    const std::string alphabet = "\x1B$()BIJ@=?_\r\n\x0E\x0F\x1A"
                                 "AQ";
    for (int round = 0; round < 300; ++round) {
        std::string input(static_cast<std::size_t>(random() % 3000), '\0');
        for (auto& c : input) {
            const auto r = random();
            c = (r & 0x300) == 0 ? alphabet[r % alphabet.size()] : static_cast<char>(r & 0xFF);
        }
        const std::string out = convert(input);
        const std::string_view used = std::string_view(input).substr(0, input.find('\0'));
        ASSERT_TRUE(isWellFormedOutput(out)) << "round " << round;
        ASSERT_LE(out.size(), 2 * used.size()) << "round " << round;
    }
}

TEST(KanjiBrokenInput, LargeAmbiguousInputFinishes)
{
    // Every 2047 bytes a break forces a new choice of encoding.
    std::string input;
    while (input.size() < (4U << 20)) {
        input += std::string(2046, '\xB1');
        input += "\xA4\x41";
    }
    const std::string out = convert(input);
    EXPECT_TRUE(isWellFormedOutput(out));
    EXPECT_LE(out.size(), 2 * input.size());
}

} // namespace
} // namespace zr5::script::kanji::test
