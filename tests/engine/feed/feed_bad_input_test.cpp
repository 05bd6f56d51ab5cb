// Hostile and oversized documents: bounded work, no crash, and whatever is
// readable still read. The time bound is the test's time-out.
#include "feed/feed_reader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using namespace zr5::script::feed;

constexpr std::string_view kUrl = "http://example.com/feed.xml";

long peakResidentMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

std::string rssItems(std::size_t count, std::string_view padding = "")
{
    std::string feed = "<rss version=\"2.0\"><channel><title>Big</title>";
    for (std::size_t i = 0; i < count; ++i) {
        feed += "<item><title>Item " + std::to_string(i) + "</title><link>/" + std::to_string(i)
            + "</link><description>" + std::string(padding) + "</description></item>\n";
    }
    return feed + "</channel></rss>";
}

TEST(FeedBadInput, HundredThousandItemsAreAllRead)
{
    const Feed feed = readFeed({ rssItems(100000), kUrl, "" });
    ASSERT_EQ(feed.items.size(), 100000u);
    EXPECT_EQ(feed.items.back().title, "Item 99999");
    EXPECT_EQ(feed.items.back().link, "http://example.com/99999");
}

TEST(FeedBadInput, SixtyFourMegabytesStayInBoundedMemory)
{
    const std::string bytes = rssItems(64 * 1024, std::string(1000, 'x'));
    ASSERT_GE(bytes.size(), 64u << 20);
    const long before = peakResidentMegabytes();
    const Feed feed = readFeed({ bytes, kUrl, "" });
    EXPECT_EQ(feed.items.size(), 64u * 1024);
    // The reader streams: it never holds a tree or a copy of the document.
    EXPECT_LT(peakResidentMegabytes() - before, 64);
}

TEST(FeedBadInput, HugeTitleIsCutNotCopiedWhole)
{
    const std::string title(4 << 20, 'a');
    const Feed feed
        = readFeed({ "<rss><channel><item><title>" + title + "</title><link>/x</link></item></channel></rss>",
            kUrl, "" });
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0].title.size(), 1u << 20);
    EXPECT_EQ(feed.items[0].link, "http://example.com/x");
}

TEST(FeedBadInput, DeepNestingKeepsTheItemsBeforeIt)
{
    std::string bytes
        = "<rss><channel><item><title>Before</title><link>/b</link></item><item><title>Deep</title>";
    for (int i = 0; i < 10000; ++i) {
        bytes += "<d>";
    }
    bytes += "</item><item><title>After</title></item></channel></rss>";
    const Feed feed = readFeed({ bytes, kUrl, "" });
    ASSERT_FALSE(feed.items.empty());
    EXPECT_EQ(feed.items[0].title, "Before");
    EXPECT_EQ(feed.items[1].title, "Deep");
}

TEST(FeedBadInput, ExternalEntitiesAreNeverLoaded)
{
    const Feed feed
        = readFeed({ "<?xml version=\"1.0\"?><!DOCTYPE rss SYSTEM \"file:///etc/passwd\" ["
                     "<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                     "<rss><channel><item><title>&x;</title><link>/&x;</link></item></channel></rss>",
            kUrl, "" });
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0].title.find("root"), std::string::npos);
    EXPECT_EQ(feed.items[0].link.find("root"), std::string::npos);
}

TEST(FeedBadInput, QuadraticBlowupIsNotExpanded)
{
    // One entity of 100 kB referenced 10 000 times: a gigabyte once expanded.
    std::string bytes = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"" + std::string(100000, 'a')
        + "\">]><rss><channel><item><title>";
    for (int i = 0; i < 10000; ++i) {
        bytes += "&a;";
    }
    bytes += "x</title></item></channel></rss>";
    const Feed feed = readFeed({ bytes, kUrl, "" });
    ASSERT_EQ(feed.items.size(), 1u);
    EXPECT_EQ(feed.items[0].title, "x");
}

TEST(FeedBadInput, DocumentsThatAreNoFeedGiveNothing)
{
    for (const std::string_view bytes : { std::string_view(""), std::string_view("\0\0\0\0", 4),
             std::string_view("plain text"), std::string_view("<html><body/></html>"),
             std::string_view("\xFF\xFE"), std::string_view("<?xml version=\"1.0\"?>") }) {
        const Feed feed = readFeed({ bytes, kUrl, "" });
        EXPECT_FALSE(feed.isFeed);
        EXPECT_TRUE(feed.items.empty());
    }
}

} // namespace
