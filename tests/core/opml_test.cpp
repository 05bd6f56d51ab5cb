// OPML files as feed readers write them (and as attackers write them), read
// into sites, and the sites written back.
#include "core/opml.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

namespace zr5::core {
namespace {

using test::readFile;
using test::sjis;

const std::filesystem::path kData = std::filesystem::path(ZR5_CORE_TEST_DATA) / "opml";

std::vector<OpmlSite> readData(std::string_view name)
{
    std::optional<std::vector<OpmlSite>> sites = readOpml(readFile(kData / name));
    EXPECT_TRUE(sites.has_value()) << name;
    return sites.value_or(std::vector<OpmlSite> {});
}

std::vector<std::string> urls(const std::vector<OpmlSite>& sites)
{
    std::vector<std::string> result;
    for (const OpmlSite& site : sites) {
        result.push_back(site.url);
    }
    return result;
}

OpmlSite site(std::string_view utf8Name, std::string url)
{
    return OpmlSite { sjis(utf8Name), std::move(url) };
}

TEST(OpmlReadTest, NestedFoldersAreFlattenedInTheFilesOrderWithEachUrlOnce)
{
    std::vector<OpmlSite> sites = readData("nested.opml");
    EXPECT_EQ(urls(sites),
        (std::vector<std::string> { "http://news.example/rss.xml", "http://world.example/feed",
            "http://bare.example/atom.xml", "http://cartoons.example/rss?a=1&b=2",
            "http://fallback.example/rss", "http://parent.example/rss", "http://child.example/rss",
            "http://unicode.example/%F0%9F%8E%89/" + sjis("フィード"), "http://comma.example/rss" }));
}

TEST(OpmlReadTest, NamesComeFromTitleElseTextElseTheUrlOnOneLine)
{
    std::vector<OpmlSite> sites = readData("nested.opml");
    ASSERT_EQ(sites.size(), 9u);
    EXPECT_EQ(sites[0], site("毎日ニュース", "http://news.example/rss.xml")) << "the first of two copies";
    EXPECT_EQ(sites[1].name, "Only text");
    EXPECT_EQ(sites[2].name, "http://bare.example/atom.xml");
    EXPECT_EQ(sites[3].name, "Tom & Jerry weekly") << "entities decoded, spaces and line breaks collapsed";
    EXPECT_EQ(sites[4].name, "Empty title falls back");
    EXPECT_EQ(sites[5].name, "A folder with a feed of its own");
    EXPECT_EQ(sites[6].name, "Child");
    EXPECT_EQ(sites[8].name, "Sites, with a comma") << "whether zr5.ini can hold it is the page's call";
}

TEST(OpmlReadTest, CharactersShiftJisLacksLeaveAGetaMarkInNamesAndStayReachableInUrls)
{
    std::vector<OpmlSite> sites = readData("nested.opml");
    ASSERT_EQ(sites.size(), 9u);
    EXPECT_EQ(sites[7].name, sjis("caf〓 〓〓 〓"));
}

TEST(OpmlReadTest, TheDeclaredEncodingDecides)
{
    std::vector<OpmlSite> sites = readData("shift_jis.opml");
    EXPECT_EQ(sites,
        (std::vector<OpmlSite> { site("天気予報", "http://tenki.example/rss"),
            site("髙橋の日記", "http://takahashi.example/rss") }));

    std::string utf16 = "\xff\xfe";
    for (char c : std::string_view("<?xml version=\"1.0\" encoding=\"UTF-16\"?><opml><body><outline "
                                   "text=\"Wide\" xmlUrl=\"http://w/\"/>"
                                   "</body></opml>")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(readOpml(utf16), (std::vector<OpmlSite> { OpmlSite { "Wide", "http://w/" } }));
}

TEST(OpmlReadTest, BrokenXmlGivesWhatCanBeRecovered)
{
    std::vector<OpmlSite> sites = readData("broken.opml");
    ASSERT_GE(sites.size(), 1u);
    EXPECT_EQ(sites[0], site("First", "http://first.example/rss"));
    for (const OpmlSite& found : sites) {
        EXPECT_EQ(found.url.find("http://"), 0u) << found.url;
    }
}

TEST(OpmlReadTest, StrayBytesOfAConfusedEncodingNeverLeaveAnEmptyNameOrUrl)
{
    // A Shift_JIS declaration in the middle of a UTF-8 file, found by fuzzing.
    std::vector<OpmlSite> sites = readData("stray_bytes.opml");
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0], site("First", "http://first.example/rss"));
    EXPECT_FALSE(sites[1].name.empty());
    EXPECT_FALSE(sites[1].url.empty());
}

TEST(OpmlReadTest, AnythingButAnOpmlDocumentIsNoOpml)
{
    EXPECT_FALSE(readOpml(readFile(kData / "not_opml.html")));
    EXPECT_FALSE(readOpml(""));
    EXPECT_FALSE(readOpml("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"));
    EXPECT_FALSE(readOpml("<rss version=\"2.0\"><channel><title>x</title></channel></rss>"));
    EXPECT_EQ(readOpml("<opml version=\"2.0\"><body/></opml>"), std::vector<OpmlSite> {});
    std::string huge = "<opml><body><outline xmlUrl=\"http://a/\"/></body></opml>";
    huge.resize(kMaxOpmlBytes + 1, ' ');
    EXPECT_FALSE(readOpml(huge));
}

TEST(OpmlReadTest, EntitiesAreNeverExpanded)
{
    std::vector<OpmlSite> sites = readData("billion_laughs.opml");
    for (const OpmlSite& found : sites) {
        EXPECT_EQ(found.name.find("lollol"), std::string::npos);
        EXPECT_EQ(found.url.find("lollol"), std::string::npos);
    }
    // The parser gives up at the first use of the bomb; what came before stays.
    ASSERT_FALSE(sites.empty());
    EXPECT_EQ(sites.front(), site("Before the laughs", "http://before.example/rss"));

    std::optional<std::vector<OpmlSite>> small
        = readOpml("<!DOCTYPE opml [<!ENTITY e \"Injected\">]>\n"
                   "<opml><body><outline title=\"&e;\" text=\"Own &amp; text\" "
                   "xmlUrl=\"http://e/\"/></body></opml>");
    EXPECT_EQ(small, (std::vector<OpmlSite> { OpmlSite { "Own & text", "http://e/" } }));
}

TEST(OpmlReadTest, ExternalEntitiesAndDtdsAreNeverLoaded)
{
    test::ScratchFolder folder;
    test::writeFile(folder / "secret.txt", "TOPSECRET");
    test::writeFile(folder / "evil.dtd", "<!ENTITY dtdsecret \"FROMDTD\">");
    std::string secret = "file://" + (folder / "secret.txt").string();
    std::string dtd = "file://" + (folder / "evil.dtd").string();
    std::string opml = "<?xml version=\"1.0\"?>\n<!DOCTYPE opml SYSTEM \"" + dtd
        + "\" [\n<!ENTITY xxe SYSTEM \"" + secret + "\">\n<!ENTITY % remote SYSTEM \"" + dtd
        + "\">\n%remote;\n]>\n<opml><body>\n<outline title=\"&xxe;\" text=\"Plain\" "
          "xmlUrl=\"http://x/&xxe;\">&xxe;</outline>\n"
          "<outline title=\"&dtdsecret;\" xmlUrl=\"http://y/\"/>\n</body></opml>\n";
    std::optional<std::vector<OpmlSite>> sites = readOpml(opml);
    ASSERT_TRUE(sites);
    for (const OpmlSite& found : *sites) {
        EXPECT_EQ(found.name.find("TOPSECRET"), std::string::npos);
        EXPECT_EQ(found.url.find("TOPSECRET"), std::string::npos);
        EXPECT_EQ(found.name.find("FROMDTD"), std::string::npos);
    }
    ASSERT_FALSE(sites->empty());
    EXPECT_EQ(sites->front().name, "Plain");
}

TEST(OpmlReadTest, DeepNestingAndManyOutlinesStayBounded)
{
    std::string deep = "<opml><body><outline title=\"Top\" xmlUrl=\"http://top/\"/>";
    for (int i = 0; i < 10000; ++i) {
        deep += "<outline text=\"f\">";
    }
    deep += "<outline title=\"Bottom\" xmlUrl=\"http://bottom/\"/>";
    std::optional<std::vector<OpmlSite>> sites = readOpml(deep);
    ASSERT_TRUE(sites);
    ASSERT_FALSE(sites->empty());
    EXPECT_EQ(sites->front(), (OpmlSite { "Top", "http://top/" }));

    std::string many = "<opml><body>";
    for (int i = 0; i < 100000; ++i) {
        many += "<outline text=\"n\" xmlUrl=\"http://many/" + std::to_string(i % 50000) + "\"/>";
    }
    many += "</body></opml>";
    sites = readOpml(many);
    ASSERT_TRUE(sites);
    EXPECT_EQ(sites->size(), 50000u);
    EXPECT_EQ(sites->back().url, "http://many/49999");
}

TEST(OpmlWriteTest, WritesOpml2InUtf8WithEveryValueEscaped)
{
    std::string written
        = writeOpml({ site("ニュース <速報> & \"号外\"", "http://a.example/rss?x=1&y=2") }, "Zephyrant2");
    EXPECT_EQ(written,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<opml version=\"2.0\">\n"
        "  <head>\n"
        "    <title>Zephyrant2</title>\n"
        "  </head>\n"
        "  <body>\n"
        "    <outline type=\"rss\" text=\"ニュース &lt;速報&gt; &amp; &quot;号外&quot;\" "
        "title=\"ニュース &lt;速報&gt; &amp; &quot;号外&quot;\" "
        "xmlUrl=\"http://a.example/rss?x=1&amp;y=2\"/>\n"
        "  </body>\n"
        "</opml>\n");
    EXPECT_EQ(writeOpml({}, "T"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n  <head>\n    <title>T</title>\n"
        "  </head>\n  <body>\n  </body>\n</opml>\n");
}

TEST(OpmlWriteTest, WhatIsWrittenReadsBackAsTheSameSites)
{
    std::vector<OpmlSite> sites = readData("nested.opml");
    sites.push_back(site("髙 ① ～ \\ \"quoted\" <tag> &amp;", "http://x/?a=\"1\"&b=<2>"));
    sites.push_back(site("   ", "http://blank-name/"));
    std::optional<std::vector<OpmlSite>> again = readOpml(writeOpml(sites, sjis("登録サイト")));
    ASSERT_TRUE(again);
    sites.back().name = "http://blank-name/";
    EXPECT_EQ(*again, sites);
}

} // namespace
} // namespace zr5::core
