// The Shift_JIS (code page 932) byte rules that the engine and the program
// share. A double-byte character's second byte may be an ASCII letter or a
// backslash (0x5C, as in 表 0x95 0x5C), so anything that looks for a single
// byte in CP932 text has to step from the start one character at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr5::sjis {

constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

constexpr bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Bytes of the character starting at pos (1 or 2); pos must be inside text.
// A lead byte takes whatever byte follows it, as every reader of this text
// does; only a lead byte at the very end stands alone.
constexpr std::size_t charSize(std::string_view text, std::size_t pos)
{
    return isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Names written with `\` between folders, as the path on disk: a backslash
// that is the second byte of a character stays.
inline std::string backslashesToSlashes(std::string_view text)
{
    std::string out(text);
    for (std::size_t pos = 0; pos < out.size(); pos += charSize(out, pos)) {
        if (out[pos] == '\\') {
            out[pos] = '/';
        }
    }
    return out;
}

// Whether the last character is a backslash by itself (表 ends in 0x5C
// without ending in one).
constexpr bool endsWithBackslash(std::string_view text)
{
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += charSize(text, pos)) {
        last = pos;
    }
    return !text.empty() && last == text.size() - 1 && text[last] == '\\';
}

} // namespace zr5::sjis
