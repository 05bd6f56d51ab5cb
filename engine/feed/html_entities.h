// HTML character references (&amp;, &eacute;, &#233;, &#xE9;).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zr5::script::feed {

struct CharacterReference {
    char32_t codePoint;
    std::size_t length; // from the '&' through the ';'
};

// The reference that starts at text[pos] (an '&'): an HTML 4 entity name,
// "apos", or a decimal or hexadecimal character reference to a valid code
// point, ended by ';'. Nothing for anything else.
std::optional<CharacterReference> readCharacterReference(std::string_view text, std::size_t pos);

// The same decoding as decodeHtmlEntities, on UTF-8 text.
std::string decodeHtmlEntitiesUtf8(std::string_view utf8);

} // namespace zr5::script::feed
