// Every feed under corpus/ read from a fixed URL and compared with its
// NAME.expected: "not a feed", or "channel<TAB>title<TAB>link" and one
// "title<TAB>link" line per item, in UTF-8. NAME.charset, where present,
// is the HTTP charset the feed is served with.
#include "feed/feed_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sstream>

namespace {

using namespace zr5::script::feed;
namespace fs = std::filesystem;

constexpr std::string_view kFeedUrl = "http://example.com/feeds/news.xml";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string utf8ToCp932(const std::string& utf8)
{
    const iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPos, &outLeft);
    iconv_close(cd);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << "expected text CP932 cannot hold: " << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

std::string describe(const Feed& feed)
{
    if (!feed.isFeed) {
        return feed.items.empty() ? "not a feed\n" : "not a feed, yet items\n";
    }
    std::string text = "channel\t" + feed.title + "\t" + feed.link + "\n";
    for (const FeedItem& item : feed.items) {
        text += item.title + "\t" + item.link + "\n";
    }
    return text;
}

std::vector<std::string> corpusNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ZR5_FEED_CORPUS)) {
        if (entry.path().extension() == ".xml") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FeedCorpus : public testing::TestWithParam<std::string> { };

TEST_P(FeedCorpus, GivesTheExpectedHeadlines)
{
    const fs::path base = fs::path(ZR5_FEED_CORPUS) / GetParam();
    const std::string bytes = readFile(base.string() + ".xml");
    std::string charset = readFile(base.string() + ".charset");
    charset.erase(std::remove(charset.begin(), charset.end(), '\n'), charset.end());
    const Feed feed = readFeed({ bytes, kFeedUrl, charset });
    EXPECT_EQ(describe(feed), utf8ToCp932(readFile(base.string() + ".expected")));
}

INSTANTIATE_TEST_SUITE_P(Corpus, FeedCorpus, testing::ValuesIn(corpusNames()),
    [](const testing::TestParamInfo<std::string>& info) {
        std::string name = info.param;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
