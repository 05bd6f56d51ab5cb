#include "core/script_template.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

namespace zr5::core {
namespace {

TEST(ScriptTemplate, RssSiteScriptIsTheFixedTextByteForByte)
{
    EXPECT_EQ(generateScript(ScriptTemplate::RssSite, "http://example.com/rss.xml"),
        test::readFile(ZR5_CORE_TEST_DATA "/rss_site.zrs"));
}

TEST(ScriptTemplate, NoticeScriptSharesTheHeadAndCollectsLinks)
{
    std::string rss = generateScript(ScriptTemplate::RssSite, "http://a/");
    std::string notice = generateScript(ScriptTemplate::Notice, "http://a/");
    std::size_t headEnd = rss.find("http://a/");
    EXPECT_EQ(notice.substr(0, headEnd), rss.substr(0, headEnd));
    EXPECT_NE(notice.find("\t\t\t\tif ( tag == \"a\" ) {\n\t\t\t\t\ttitle = \"\";\n"
                          "\t\t\t\t\tlink = buf.getAttr(\"href\");\n"),
        std::string::npos);
    EXPECT_NE(notice.find("if ( tag == \"/a\" ) {\n\t\t\t\t\tDisplay(title, link);"), std::string::npos);
}

TEST(ScriptTemplate, EscapesWhatWouldEndTheLiteral)
{
    EXPECT_EQ(escapeStringLiteral("http://a/?q=\"x\"\\y"), "http://a/?q=\\\"x\\\"\\\\y");
    EXPECT_EQ(escapeStringLiteral("a\nb\rc\td"), "a\\nb\\x0dc\\x09d");
    EXPECT_EQ(escapeStringLiteral("plain-URL_0123?&=%"), "plain-URL_0123?&=%");
}

TEST(ScriptTemplate, KeepsShiftJisCharactersWholeAndGuardsLoneLeadBytes)
{
    // U+8868 (0x95 0x5C): its second byte is a backslash and must stay as it is.
    EXPECT_EQ(escapeStringLiteral("\x95\x5c"), "\x95\x5c");
    // A lead byte right before a quote would swallow the escaping backslash.
    EXPECT_EQ(escapeStringLiteral("\x81\""), "\\x81\\\"");
    EXPECT_EQ(escapeStringLiteral("end\x81"), "end\\x81");
    // Half-width katakana are single bytes.
    EXPECT_EQ(escapeStringLiteral("\xb1\xb2"), "\xb1\xb2");
}

TEST(ScriptTemplate, LeadBytesAreTheScannersNotTheCodePages)
{
    // The script scanner pairs 0x80 and 0xFD-0xFF with the next byte as well:
    // alone they are escaped, and before a backslash they keep it as theirs.
    EXPECT_EQ(escapeStringLiteral("\x80\""), "\\x80\\\"");
    EXPECT_EQ(escapeStringLiteral("\xfd\""), "\\xfd\\\"");
    EXPECT_EQ(escapeStringLiteral("\x80\\"), "\x80\\");
    EXPECT_EQ(escapeStringLiteral("\xff\\"), "\xff\\");
}

} // namespace
} // namespace zr5::core
