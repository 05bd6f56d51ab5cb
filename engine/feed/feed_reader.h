// The feed reader: RSS 0.91/0.92/1.0 (RDF)/2.0 and Atom 0.3/1.0 read with a
// tolerant XML parser, as the web writes them, into plain Shift_JIS text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zr5::script::feed {

struct FeedItem {
    std::string title; // Shift_JIS (CP932), plain text, whitespace collapsed, trimmed
    std::string link; // absolute where a base was known; Shift_JIS
};

struct Feed {
    bool isFeed = false; // the document's root is a feed (rss, rdf:RDF, feed)
    std::string title; // the channel's (feed's) title, Shift_JIS
    std::string link; // the channel's (feed's) link
    std::vector<FeedItem> items; // in document order
};

struct FeedSource {
    std::string_view bytes; // the document as fetched
    std::string_view url; // its final URL after redirects: the base of relative links
    std::string_view httpCharset; // the charset parameter of the answer's Content-Type, or empty
};

// Never fails: whatever is readable is read; a document that is no feed
// gives isFeed false and no items.
Feed readFeed(const FeedSource& source);

// UTF-8 to Shift_JIS (CP932). A character CP932 lacks becomes a visible
// stand-in: an accented Latin letter its base letter (e with acute: e),
// anything else the geta mark (0x81AC). Invalid UTF-8 bytes become the geta mark too.
std::string utf8ToCp932WithStandIns(std::string_view utf8);

// Decodes HTML entities (&amp;, &eacute;, ...) and character references
// (&#233;, &#xE9;) in Shift_JIS text; decoded characters go through the same
// stand-ins. Unknown or malformed references stay as written.
std::string decodeHtmlEntities(std::string_view cp932);

} // namespace zr5::script::feed
