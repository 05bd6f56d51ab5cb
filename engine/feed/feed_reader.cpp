#include "feed/feed_reader.h"

#include "feed/cp932_decoder.h"
#include "feed/feed_encoding.h"
#include "feed/feed_walker.h"

namespace zr5::script::feed {

Feed readFeed(const FeedSource& source)
{
    if (source.bytes.empty()) {
        return {};
    }
    const EncodingChoice encoding = chooseEncoding(source.bytes, source.httpCharset);
    const std::string_view document = source.bytes.substr(encoding.bomLength);
    Feed feed = isCp932Name(encoding.name) ? walkFeedDocument(cp932ToUtf8(document), source.url, "UTF-8")
                                           : walkFeedDocument(document, source.url, encoding.name);
    feed.title = utf8ToCp932WithStandIns(feed.title);
    feed.link = utf8ToCp932WithStandIns(feed.link);
    for (FeedItem& item : feed.items) {
        item.title = utf8ToCp932WithStandIns(item.title);
        item.link = utf8ToCp932WithStandIns(item.link);
    }
    return feed;
}

} // namespace zr5::script::feed
