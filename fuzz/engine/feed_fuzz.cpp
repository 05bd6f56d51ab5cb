// Arbitrary bytes through the feed reader from a fixed URL, and through the
// entity decoder. Besides the sanitizers: a document that is no feed has no
// items, and decoding never lengthens the text by more than the stand-ins
// allow (a reference is at least four bytes and becomes at most two).
#include "feed/feed_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zr5::script::feed;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Feed feed = readFeed({ bytes, "http://example.com/feeds/news.xml", "" });
    if (!feed.isFeed && !feed.items.empty()) {
        std::abort();
    }
    if (decodeHtmlEntities(bytes).size() > bytes.size()) {
        std::abort();
    }
    return 0;
}
