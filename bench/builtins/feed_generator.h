// A synthetic RSS 2.0 feed in Shift_JIS, about 265 bytes per item, so 20000
// items make a 5 MB document.
#pragma once

#include <cstddef>
#include <string>

namespace zr5::bench {

inline std::string generateFeed(std::size_t items)
{
    // "News headline" in Japanese, and a plain description.
    const std::string headline = "\x83\x6A\x83\x85\x81\x5B\x83\x58\x8C\xA9\x8F\x6F\x82\xB5";
    std::string feed = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<rss version=\"2.0\"><channel>\n"
                       "<title>Bench</title>\n";
    feed.reserve(items * 270 + 200);
    for (std::size_t i = 0; i < items; ++i) {
        const std::string number = std::to_string(i);
        feed += "<item>\n  <title>" + headline + " " + number + "</title>\n  <link>http://example.jp/news/"
            + number
            + ".html</link>\n  <description>A short summary of the story, long "
              "enough.</description>\n  <dc:date>2026-12-07T10:00:00+09:00</dc:date>\n  <guid "
              "isPermaLink='false'>id-"
            + number + "</guid>\n</item>\n";
    }
    return feed + "</channel></rss>\n";
}

} // namespace zr5::bench
