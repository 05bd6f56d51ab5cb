// Japanese text conversion compatible with `nkf` for the options the engine
// uses ("-s -Lu": detect the input encoding, write Shift_JIS with LF line ends).
#pragma once

#include <string>
#include <string_view>

namespace zr5::script::kanji {

// Converts the bytes of input up to its first zero byte, or the whole input
// when it starts with a UTF-16 byte-order mark. options is nkf syntax; the
// options understood are listed in kanji_options.h. Reentrant: the only shared
// state is the read-only character tables, built on first use.
std::string kanjiConvert(std::string_view input, std::string_view options);

} // namespace zr5::script::kanji
