// Input encodings the converter reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zr5::script::kanji {

// The first three are the automatic-detection candidates, in order of
// preference on a tie. The others are chosen by a byte-order mark or named by
// a MIME encoded word.
enum class Encoding : std::uint8_t { EucJp, ShiftJis, Utf8, Utf16Le, Utf16Be, Latin1 };

inline constexpr int kCandidateCount = 3;

// The UTF-16 byte order that a byte-order mark at the start of text announces.
inline std::optional<Encoding> utf16ByteOrder(std::string_view text)
{
    if (text.starts_with("\xFF\xFE")) {
        return Encoding::Utf16Le;
    }
    if (text.starts_with("\xFE\xFF")) {
        return Encoding::Utf16Be;
    }
    return std::nullopt;
}

} // namespace zr5::script::kanji
