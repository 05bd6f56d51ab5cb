// The markup tokenizer behind Document.get and the tag reader behind
// getAttr. Both know nothing of HTML or XML beyond angle brackets, "=",
// quotes and white space, and compare single bytes only: in Shift_JIS the
// second byte of a double-byte character is never below 0x40, so it cannot
// be mistaken for any of those.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr5::script {

// The C library's isspace in the "C" locale.
bool isMarkupSpace(char byte);

struct Piece {
    std::string text; // empty at the end of the document
    std::size_t next; // where the following piece starts
};

// The tag or text run starting at pos after white space; inner white space
// runs become one space and quoted attribute values are kept whole.
Piece nextPiece(std::string_view document, std::size_t pos);

// The value of attribute name in tag, or the tag's name when name is empty;
// empty when there is none. Names compare without regard to ASCII case, on
// their first 64 bytes.
std::string tagAttribute(std::string_view tag, std::string_view name);

} // namespace zr5::script
