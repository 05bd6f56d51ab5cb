// Input encodings the converter reads.
#pragma once

#include <cstdint>

namespace zr5::script::kanji {

// The first three are the automatic-detection candidates, in order of
// preference on a tie. The others are chosen by a byte-order mark or named by
// a MIME encoded word.
enum class Encoding : std::uint8_t { EucJp, ShiftJis, Utf8, Utf16Le, Utf16Be, Latin1 };

inline constexpr int kCandidateCount = 3;

} // namespace zr5::script::kanji
