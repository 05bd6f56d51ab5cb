// Reducing a title as the feed wrote it to the plain text of one headline.
#pragma once

#include <string>
#include <string_view>

namespace zr5::script::feed {

// Plain: the text as parsed (XHTML titles arrive as their elements' text).
// Html: escaped markup, whose tags are dropped and references decoded.
enum class TitleMarkup { Plain, Html };

// UTF-8 in and out; whitespace runs become one space, ends trimmed.
std::string plainTitle(std::string_view text, TitleMarkup markup);

} // namespace zr5::script::feed
