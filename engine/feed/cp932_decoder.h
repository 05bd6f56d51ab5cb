// Shift_JIS (CP932) to UTF-8 for the feed reader. Japanese feeds are mostly
// Shift_JIS, and decoding them through a table built once is several times
// cheaper than handing libxml2 the bytes to decode through iconv.
#pragma once

#include <string>
#include <string_view>

namespace zr5::script::feed {

// Whether the feed reader decodes this encoding (an iconv name) itself.
bool isCp932Name(std::string_view encoding);

// A byte or pair CP932 does not assign becomes U+FFFD, which the way back to
// CP932 then shows as the geta mark.
std::string cp932ToUtf8(std::string_view cp932);

} // namespace zr5::script::feed
