// News scripts the ticker writes itself: the one that reads an RSS site and
// the one that reads our notice page. Both share one layout: a header
// comment, one category "RSS", and the address in a string literal.
#pragma once

#include <string>
#include <string_view>

namespace zr5::core {

enum class ScriptTemplate {
    RssSite, // the items of an RSS or Atom feed, read by the Feed built-in
    Notice, // every <a href=...>text</a> of a page
};

std::string generateScript(ScriptTemplate kind, std::string_view url);

// The bytes of a string literal body that the news-script scanner reads back
// as exactly text: backslash, double quote and control bytes are escaped,
// Shift_JIS double-byte characters are kept whole (their second byte may be a
// backslash), and a lone lead byte is escaped so it cannot swallow the next one.
std::string escapeStringLiteral(std::string_view text);

} // namespace zr5::core
