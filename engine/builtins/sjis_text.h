// Character-wise work on Shift_JIS (code page 932) text, on the byte rules of
// sjis_bytes.h: a lead byte and the byte after it are one character, every
// other byte is a character by itself.
#pragma once

#include "sjis_bytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr5::script::sjis {

using zr5::sjis::charSize;
using zr5::sjis::isLeadByte;

// The part of text before its first zero byte: what the counting, searching
// and copying methods see.
std::string_view counted(std::string_view text);

// Number of characters in text.
std::size_t length(std::string_view text);

// Byte offset after skipping count characters from the start, stopping at
// the end of the text.
std::size_t skip(std::string_view text, std::uint32_t count);

struct Match {
    std::size_t offset; // byte offset of the match
    std::size_t characters; // characters before it
};

// First occurrence of needle at or after the character boundary from,
// trying character boundaries only; offset is npos when there is none. An
// empty needle matches at from.
Match find(std::string_view text, std::size_t from, std::string_view needle);

enum class LetterCase { Upper, Lower };

// ASCII letters, the full-width Latin, Greek and Cyrillic letters of CP932;
// every other character is copied unchanged.
std::string changeCase(std::string_view text, LetterCase target);

} // namespace zr5::script::sjis
