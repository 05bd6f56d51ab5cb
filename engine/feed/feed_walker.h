// The streaming walk over a feed document that finds its channel and items.
#pragma once

#include "feed/feed_reader.h"

#include <string>
#include <string_view>

namespace zr5::script::feed {

// bytes in the named encoding (an iconv name, without byte-order mark) read
// with libxml2's recovering reader; url is the base of relative links. The
// texts of the result are UTF-8.
Feed walkFeedDocument(std::string_view bytes, std::string_view url, const std::string& encoding);

} // namespace zr5::script::feed
