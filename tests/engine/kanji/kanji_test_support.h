// Helpers for the kanji tests: encoding sample text with iconv and running
// the reference converter, `nkf -s -Lu`, on the same bytes.
#pragma once

#include <string>
#include <string_view>

namespace zr5::script::kanji::test {

// utf8Text converted to the iconv encoding `to`; fails the test when iconv
// cannot convert it.
std::string encodeAs(std::string_view utf8Text, const char* to);

// bytes as base64, for building MIME encoded words.
std::string base64(std::string_view bytes);

// Whether text is well-formed output: bytes from 0x80 up only as the lead of a
// double-byte character with a valid trail byte, and no NUL, CR or 0x1A.
bool isWellFormedOutput(std::string_view text);

// Output of `nkf -s -Lu` on input, with the two documented differences of
// kanjiConvert applied to its input and output: unless input starts with a
// UTF-16 byte-order mark, only the bytes before the first zero byte are given
// to nkf, and 0x1A is removed from what it writes.
std::string nkfReference(std::string_view input);

// Bytes as hex pairs, for failure messages.
std::string hex(std::string_view bytes);

} // namespace zr5::script::kanji::test
