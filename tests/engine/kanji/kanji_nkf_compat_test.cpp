// kanjiConvert against `nkf -s -Lu` on the same bytes, byte for byte, over
// Japanese text in every input encoding the converter detects.
#include "kanji/kanji_convert.h"
#include "kanji_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace zr5::script::kanji::test {
namespace {

constexpr std::string_view kNews = "日本語のニュース：首相が会見、経済対策を発表。\n"
                                   "株価は３日連続で上昇し、終値は２万円台を回復した。\n"
                                   "「今後も注視する」と述べた。\n";
constexpr std::string_view kNovel
    = "吾輩は猫である。名前はまだ無い。\n"
      "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事"
      "だけは記憶している。\n";
constexpr std::string_view kVendor
    = "機種依存文字：①②③⑳ ⅠⅡⅢ ㈱㈲ №℡ ∑∮ 纊褜鍈銈 ⅰⅱ ￤＇＂ 髙﨑 ～∥－￠￡￢\n";
constexpr std::string_view kHalfWidth = "半角カナの見出し：ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾜﾞ｢ﾃｽﾄ｣｡ｰﾎﾟﾝﾄﾞ ﾞﾟｱﾞ\n";
constexpr std::string_view kMixedAscii
    = "<html><head><title>Top News - 速報</title></head>\n"
      "<body><a href=\"/news/1.html\">円相場、一時１ドル＝１５０円台</a></body></html>\n";

struct Scenario {
    std::string name;
    std::string input;
};

void PrintTo(const Scenario& scenario, std::ostream* os)
{
    *os << scenario.name;
}

std::string withLineEnds(std::string_view text, std::string_view lineEnd)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += lineEnd;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string utf16WithBom(std::string_view text, const char* encoding, std::string_view bom)
{
    return std::string(bom) + encodeAs(text, encoding);
}

// Every sample text in every encoding that can hold it.
std::vector<Scenario> encodedTexts()
{
    struct Sample {
        const char* name;
        std::string_view text;
        bool fitsIso2022;
    };
    const Sample samples[] = { { "news", kNews, true }, { "novel", kNovel, true },
        { "vendor", kVendor, false }, { "halfwidth", kHalfWidth, false }, { "html", kMixedAscii, true } };
    std::vector<Scenario> rows;
    for (const auto& s : samples) {
        const std::string name = s.name;
        rows.push_back({ name + "_sjis", encodeAs(s.text, "CP932") });
        rows.push_back({ name + "_eucjp", encodeAs(s.text, "EUC-JP-MS") });
        rows.push_back({ name + "_utf8", std::string(s.text) });
        rows.push_back({ name + "_utf8_bom", "\xEF\xBB\xBF" + std::string(s.text) });
        rows.push_back({ name + "_utf16le_bom", utf16WithBom(s.text, "UTF-16LE", "\xFF\xFE") });
        rows.push_back({ name + "_utf16be_bom", utf16WithBom(s.text, "UTF-16BE", "\xFE\xFF") });
        if (s.fitsIso2022) {
            rows.push_back({ name + "_iso2022jp", encodeAs(s.text, "ISO-2022-JP") });
        }
    }
    rows.push_back({ "halfwidth_iso2022jp3", encodeAs(kHalfWidth, "ISO-2022-JP-3") });
    return rows;
}

std::vector<Scenario> lineEndsAndCuts()
{
    const std::string crlf = withLineEnds(kNews, "\r\n");
    const std::string cr = withLineEnds(kNovel, "\r");
    return {
        { "crlf_sjis", encodeAs(crlf, "CP932") },
        { "crlf_utf8", crlf },
        { "cr_eucjp", encodeAs(cr, "EUC-JP-MS") },
        { "cr_utf8", cr },
        { "mixed_line_ends", encodeAs("一行目\r\n二行目\r三行目\n\r四行目\r\r\n\n終わり", "CP932") },
        { "crlf_split_by_iso2022", encodeAs("行末\r\n次の行\r\n", "ISO-2022-JP") },
        { "eof_mark_inside_sjis", encodeAs("前半\x1A後半\r\n\x1A", "CP932") },
        { "zero_byte_cut_sjis", encodeAs(kNews, "CP932") + std::string(1, '\0') + encodeAs(kNovel, "CP932") },
        { "zero_byte_cut_utf8", std::string("abc") + std::string(1, '\0') + std::string(kNews) },
        { "zero_byte_first", std::string(1, '\0') + "abc" },
        // Without a byte-order mark UTF-16 is cut like any other text.
        { "utf16le_without_bom_cut", encodeAs("見出し\nabc", "UTF-16LE") },
        { "utf16be_without_bom_cut", encodeAs("abc 見出し", "UTF-16BE") },
    };
}

// UTF-16 with a byte-order mark is read whole, zero bytes included.
std::vector<Scenario> utf16Forms()
{
    const auto le = [](std::string_view text) { return utf16WithBom(text, "UTF-16LE", "\xFF\xFE"); };
    const auto be = [](std::string_view text) { return utf16WithBom(text, "UTF-16BE", "\xFE\xFF"); };
    const std::string crlf = withLineEnds(kNews, "\r\n");
    const std::string lateJis = std::string(3000, 'a') + "\n" + std::string(kNovel);
    return {
        { "utf16le_crlf", le(crlf) },
        { "utf16be_cr", be(withLineEnds(kNovel, "\r")) },
        { "utf16le_long_ascii_then_kanji", le(lateJis) },
        { "utf16le_eof_mark", le("前\x1A後\r\n") },
        { "utf16le_latin1_signs", le("café ¥100 ‾ ¦\n") },
        { "utf16be_surrogate_pair_dropped", be("あ😀い𠮷う\n") },
        { "utf16le_lone_low_surrogate", std::string("\xFF\xFE\x42\x30\x12\xDC\x44\x30") },
        { "utf16le_odd_last_byte", le("見出し") + "\x44" },
        { "utf16le_zero_width_no_break_space", le("あ\uFEFFい") },
        { "utf16be_escape_and_mime_not_decoded", be("\x1B$BF|\x1B(B =?UTF-8?B?5pel?=\n") },
    };
}

std::vector<Scenario> iso2022Forms()
{
    const std::string longAscii(3000, 'a');
    return {
        { "iso2022_late_escape", longAscii + "\n" + encodeAs(kNews, "ISO-2022-JP") },
        { "iso2022_escape_inside_eucjp",
            encodeAs(kNovel, "EUC-JP-MS") + encodeAs("途中から JIS の文\n", "ISO-2022-JP") },
        { "iso2022_escape_inside_sjis",
            encodeAs(kNews, "CP932") + encodeAs("途中から JIS の文\n", "ISO-2022-JP") },
        { "iso2022_jis_c6226_escape", "ab\x1B$@F|K\\\x1B(Bcd\n" },
        { "iso2022_jis_x0201_roman", "\x1B$BF|\x1B(Jx\\~\x1B(Bz\n" },
        { "iso2022_x0201_katakana", "\x1B(I6^J_3^\x1B(B \x1B$B%F%9%H\x1B(B\n" },
        { "iso2022_shift_out_katakana",
            "a\x0E"
            "6^J_\x0F"
            "b\n" },
        { "iso2022_kanji_across_lines", "\x1B$BF|K\\\n8l\x1B(B\n" },
        { "iso2022_x0213_plane1", "\x1B$(QF|K\\\x1B(B\n" },
        { "iso2022_nec_rows", "\x1B$B-!-5y!\x1B(B\n" },
    };
}

std::vector<Scenario> mimeWords()
{
    const auto word = [](const char* charset, const char* kind, const std::string& payload) {
        return std::string("=?") + charset + "?" + kind + "?" + payload + "?=";
    };
    const std::string title = "新着記事のお知らせ";
    return {
        { "mime_eucjp_b", "Subject: " + word("EUC-JP", "B", base64(encodeAs(title, "EUC-JP"))) + "\n" },
        { "mime_shift_jis_b", "Subject: " + word("SHIFT_JIS", "B", base64(encodeAs(title, "CP932"))) + "\n" },
        { "mime_iso2022jp_b",
            "Subject: " + word("ISO-2022-JP", "B", base64(encodeAs(title, "ISO-2022-JP"))) + " end\n" },
        { "mime_utf8_b", "<title>" + word("UTF-8", "B", base64(title)) + "</title>\n" },
        // 8-bit ISO-8859-1 payloads are a documented difference (see
        // kanji_convert_test.cpp).
        { "mime_latin1_q", word("ISO-8859-1", "Q", "Hello_World=3F_=3D_done") + "\n" },
        { "mime_latin1_b", word("ISO-8859-1", "B", base64("Hello, World")) + "\n" },
        { "mime_us_ascii_q", word("US-ASCII", "Q", "a_b=3Dc") + "\n" },
        { "mime_lower_case_names", word("iso-2022-jp", "b", base64(encodeAs(title, "ISO-2022-JP"))) + "\n" },
        { "mime_adjacent_words_joined",
            word("UTF-8", "B", base64("前半")) + " \n\t" + word("UTF-8", "B", base64("後半")) + " x\n" },
        { "mime_unterminated_kept", "=?UTF-8?B?" + base64(title) + "\n" },
        { "mime_unknown_charset_kept", word("KOI8-R", "B", "8fLJ18XU") + "\n" },
        { "mime_in_sjis_text", encodeAs(kNews, "CP932") + word("UTF-8", "B", base64(title)) + "\n" },
    };
}

// Encoded words that are not proper base64: kept as written, and where the
// payload is merely padded (rightly) or holds '=', decoded as far as it goes.
std::vector<Scenario> malformedMimeWords()
{
    return {
        { "mime_b_not_base64", "=?UTF-8?B?!!!?= x\n" },
        { "mime_b_hash_signs", "a =?UTF-8?B?####?= b\n" },
        { "mime_b_one_bad_character", "=?UTF-8?B?5pel!5pys?=x\n" },
        { "mime_b_bad_characters_in_turn", "=?UTF-8?B?YW,j?==?UTF-8?B?YW:j?==?EUC-JP?B?YW~j?=\n" },
        { "mime_b_space_inside", "=?UTF-8?B?YW Jj?=x\n" },
        { "mime_b_start_inside_bad_word", "=?UTF-8?B?!=?UTF-8?B?5pel?=x\n" },
        { "mime_b_bad_after_decoded_joined", "=?UTF-8?B?5pel?= \t=?UTF-8?B?!!!?=x\n" },
        { "mime_b_decoded_after_bad_apart", "=?UTF-8?B?!!!?= =?UTF-8?B?5pel?=x\n" },
        { "mime_b_two_bad_apart", "=?UTF-8?B?!!!?= =?UTF-8?B?!!!?=x\n" },
        { "mime_b_padding", "=?UTF-8?B?YWI=?= =?UTF-8?B?YQ==?= =?UTF-8?B?5pelYQ==?=x\n" },
        { "mime_b_padding_inside", "=?UTF-8?B?YW=j?=x\n" },
        { "mime_b_empty",
            "a=?UTF-8?B?"
            "?=b\n" },
    };
}

// Short inputs whose encoding is decided by penalties rather than by rules.
std::vector<Scenario> shortAmbiguous()
{
    return {
        { "ascii_only", "Plain ASCII text, nothing to convert.\n" },
        { "empty", "" },
        { "sjis_halfwidth_read_as_eucjp", "\xB6\xDE" },
        { "eucjp_halfwidth_read_as_sjis", "\x8E\xB6\x8E\xDE" },
        { "latin1_word_read_as_eucjp", "caf\xC3\xA9" },
        { "utf8_two_kanji", "\xE6\x97\xA5\xE6\x9C\xAC" },
        { "eucjp_two_kanji", "\xC6\xFC\xCB\xDC" },
        { "sjis_two_kanji", "\x93\xFA\x96\x7B" },
        { "sjis_three_halfwidth", "\xB1\xB2\xB3\n" },
        { "eucjp_hiragana_pair", "\xA4\xA2\xA4\xA4" },
        { "eucjp_nec_row_beats_sjis_unassigned", "\xB0\xB8\xAD\xEA\xA5\xA4" },
        { "utf8_halfwidth", "\xEF\xBD\xB6\xEF\xBD\xB6" },
        { "sjis_after_long_ambiguous_stretch",
            encodeAs("テキスト", "EUC-JP") + std::string(2040, 'a') + encodeAs("日本語です", "CP932") },
        { "sjis_within_hold",
            encodeAs("テキスト", "EUC-JP") + std::string(100, 'a') + encodeAs("日本語です", "CP932") },
        { "utf8_after_long_ascii", std::string(5000, 'x') + std::string(kNews) },
    };
}

class NkfCompat : public ::testing::TestWithParam<Scenario> { };

TEST_P(NkfCompat, SameBytesAsNkf)
{
    const Scenario& s = GetParam();
    const std::string expected = nkfReference(s.input);
    const std::string actual = kanjiConvert(s.input, "-s -Lu");
    EXPECT_EQ(hex(actual), hex(expected)) << "input: " << hex(s.input.substr(0, 200));
}

std::string rowName(const ::testing::TestParamInfo<Scenario>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(EncodedText, NkfCompat, ::testing::ValuesIn(encodedTexts()), rowName);
INSTANTIATE_TEST_SUITE_P(LineEndsAndCuts, NkfCompat, ::testing::ValuesIn(lineEndsAndCuts()), rowName);
INSTANTIATE_TEST_SUITE_P(Utf16, NkfCompat, ::testing::ValuesIn(utf16Forms()), rowName);
INSTANTIATE_TEST_SUITE_P(Iso2022, NkfCompat, ::testing::ValuesIn(iso2022Forms()), rowName);
INSTANTIATE_TEST_SUITE_P(Mime, NkfCompat, ::testing::ValuesIn(mimeWords()), rowName);
INSTANTIATE_TEST_SUITE_P(MalformedMime, NkfCompat, ::testing::ValuesIn(malformedMimeWords()), rowName);
INSTANTIATE_TEST_SUITE_P(ShortAmbiguous, NkfCompat, ::testing::ValuesIn(shortAmbiguous()), rowName);

// One line per code, each behind text that settles the encoding, through both
// converters; reports the first codes whose lines differ.
void expectSameLines(const std::string& context, const std::vector<std::string>& codes,
    const std::vector<std::string>& knownDifferences = {})
{
    std::string input = context + "\n";
    for (const auto& code : codes) {
        input += context + code + "\n";
    }
    const std::string expected = nkfReference(input);
    const std::string actual = kanjiConvert(input, "-s -Lu");
    std::size_t e = expected.find('\n') + 1;
    std::size_t a = actual.find('\n') + 1;
    int reported = 0;
    for (const auto& code : codes) {
        const std::size_t eEnd = expected.find('\n', e);
        const std::size_t aEnd = actual.find('\n', a);
        ASSERT_NE(eEnd, std::string::npos);
        ASSERT_NE(aEnd, std::string::npos);
        const auto nkfLine = expected.substr(e, eEnd - e);
        const auto ourLine = actual.substr(a, aEnd - a);
        const bool known
            = std::find(knownDifferences.begin(), knownDifferences.end(), code) != knownDifferences.end();
        if (nkfLine != ourLine && !known && ++reported <= 10) {
            ADD_FAILURE() << "code " << hex(code) << ": nkf " << hex(nkfLine) << "ours " << hex(ourLine);
        }
        e = eEnd + 1;
        a = aEnd + 1;
    }
}

std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (const int v : values) {
        text.push_back(static_cast<char>(v));
    }
    return text;
}

TEST(NkfCompatTables, EveryDoubleByteShiftJisCode)
{
    std::vector<std::string> codes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if ((lead < 0xA0 || lead >= 0xE0) && trail != 0x7F) {
                codes.push_back(bytes({ lead, trail }));
            }
        }
    }
    expectSameLines(encodeAs("日本語のテキストです", "CP932"), codes);
}

TEST(NkfCompatTables, EveryEucJpCode)
{
    std::vector<std::string> codes;
    for (int first = 0xA1; first <= 0xFE; ++first) {
        for (int second = 0xA1; second <= 0xFE; ++second) {
            codes.push_back(bytes({ first, second }));
            codes.push_back(bytes({ 0x8F, first, second }));
        }
    }
    for (int kana = 0xA1; kana <= 0xDF; ++kana) {
        codes.push_back(bytes({ 0x8E, kana }));
    }
    // nkf writes the unassigned JIS X 0212 code 0x2221 as a black diamond.
    expectSameLines(encodeAs("日本語のテキストです", "EUC-JP"), codes, { bytes({ 0x8F, 0xA2, 0xA1 }) });
}

TEST(NkfCompatTables, EveryJisX0212CodeInIso2022Jp)
{
    std::vector<std::string> codes;
    for (int first = 0x21; first <= 0x7E; ++first) {
        for (int second = 0x21; second <= 0x7E; ++second) {
            codes.push_back("\x1B$(D" + bytes({ first, second }) + "\x1B(B");
        }
    }
    // The same unassigned code as on the EUC-JP path.
    expectSameLines("JIS X 0212 ", codes, { "\x1B$(D\x22\x21\x1B(B" });
}

TEST(NkfCompatTables, EveryBmpCodePointInUtf8)
{
    std::vector<std::string> codes;
    for (char32_t cp = 0x20; cp < 0x10000; ++cp) {
        // Surrogates are not characters; U+0085, U+2028 and U+2029 are line
        // ends to nkf.
        if ((cp >= 0xD800 && cp < 0xE000) || cp == 0x85 || cp == 0x2028 || cp == 0x2029) {
            continue;
        }
        std::string utf8;
        if (cp < 0x80) {
            utf8 = bytes({ static_cast<int>(cp) });
        } else if (cp < 0x800) {
            utf8 = bytes({ static_cast<int>(0xC0 | (cp >> 6)), static_cast<int>(0x80 | (cp & 0x3F)) });
        } else {
            utf8 = bytes({ static_cast<int>(0xE0 | (cp >> 12)), static_cast<int>(0x80 | ((cp >> 6) & 0x3F)),
                static_cast<int>(0x80 | (cp & 0x3F)) });
        }
        codes.push_back(utf8);
    }
    expectSameLines("\xEF\xBB\xBF日本語", codes);
}

} // namespace
} // namespace zr5::script::kanji::test
