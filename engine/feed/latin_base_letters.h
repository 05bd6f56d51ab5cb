// Base letters of accented Latin letters, for text bound for Shift_JIS, which
// has none of them.
#pragma once

namespace zr5::script::feed {

// The unaccented letter of an accented Latin letter (U+00C0..U+024F,
// U+1E00..U+1EFF), or 0 where there is no single base letter (ligatures such
// as AE, letters such as thorn or sharp s, and signs such as the multiplication sign).
char latinBaseLetter(char32_t codePoint);

} // namespace zr5::script::feed
