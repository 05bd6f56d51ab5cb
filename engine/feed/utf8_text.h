// Reading and writing UTF-8 one code point at a time, strictly: overlong
// forms, surrogates and values past U+10FFFF count as invalid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr5::script::feed {

inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

// The code point at pos, advancing pos past it; an invalid byte gives
// kInvalidCodePoint and advances by one.
char32_t nextCodePoint(std::string_view text, std::size_t& pos);

void appendUtf8(std::string& out, char32_t codePoint);

// The longest prefix of text no longer than limit that does not cut a character.
std::string_view cutAtCharacter(std::string_view text, std::size_t limit);

bool isValidUtf8(std::string_view text);

} // namespace zr5::script::feed
