// MIME encoded words ("=?charset?B?...?=") of the forms nkf decodes in its
// strict mode.
#pragma once

#include "kanji/encoding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zr5::script::kanji {

struct MimeWord final {
    Encoding charset = Encoding::Latin1; // how to read the decoded bytes
    std::string bytes; // the payload, base64 or Q decoded
    std::size_t end = 0; // position just after "?="
    // false: the payload is not base64 and bytes hold the word as written
    bool decoded = true;
};

// The encoded word starting at pos ("=?"), when it is complete and names one of
// EUC-JP, SHIFT_JIS, ISO-8859-1, ISO-2022-JP, UTF-8 or US-ASCII with B or Q.
// A B word holding a character outside base64 and its padding is not decoded:
// it stands for itself, as nkf keeps it.
std::optional<MimeWord> readMimeWord(std::string_view text, std::size_t pos);

// Where the next encoded word starts when only white space separates it from
// pos; pos itself otherwise. White space between encoded words is dropped.
std::size_t nextAdjacentMimeWord(std::string_view text, std::size_t pos);

} // namespace zr5::script::kanji
