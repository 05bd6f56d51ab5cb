// Arbitrary bytes through kanjiConvert with the engine's options. Besides
// the sanitizers, the output must be well-formed Shift_JIS (bytes from 0x80 up
// only as lead and trail of a double-byte character), hold no NUL, CR or 0x1A,
// and be at most twice as long as the converted input (all of it after a UTF-16
// byte-order mark, else the bytes before the first zero byte).
#include "kanji/kanji_convert.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool isLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

bool wellFormed(std::string_view out)
{
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b == 0 || b == '\r' || b == 0x1A) {
            return false;
        }
        if (b >= 0x80) {
            if (!isLead(b) || i + 1 >= out.size() || !isTrail(static_cast<unsigned char>(out[i + 1]))) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string out = zr5::script::kanji::kanjiConvert(input, "-s -Lu");
    // With a UTF-16 byte-order mark the whole input is converted.
    const bool utf16 = input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF");
    const std::size_t used = utf16 ? size : input.substr(0, input.find('\0')).size();
    if (!wellFormed(out) || out.size() > 2 * used) {
        std::abort();
    }
    return 0;
}
