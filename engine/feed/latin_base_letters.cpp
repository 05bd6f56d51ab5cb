#include "feed/latin_base_letters.h"

#include <string_view>

namespace zr5::script::feed {

namespace {

// One character per code point from the block's first; '?' where no base
// letter fits.
constexpr std::string_view kLatin1AndExtended = // U+00C0..U+024F
    "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??"
    "aaaaaa?ceeeeiiiidnooooo?ouuuuy?y"
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii??JjKk?LlLlLlL"
    "lLlNnNnNnn??OoOo"
    "Oo??RrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZz?"
    "bBBb???CcDDDd???"
    "?FfG???IKkl??NnO"
    "Oo??Pp?????tTtTU"
    "u?VYyZz?????????"
    "?????????????AaI"
    "iOoUuUuUuUuUu?Aa"
    "Aa??GgGgKkOoOo??"
    "j???Gg??NnAa??Oo"
    "AaAaEeEeIiIiOoOo"
    "RrRrUuUuSsTt??Hh"
    "Nd??ZzAaEeOoOoOo"
    "OoYylntj??ACcLTs"
    "z??BU?EeJjQqRrYy";

constexpr std::string_view kLatinExtendedAdditional = // U+1E00..U+1EFF
    "AaBbBbBbCcDdDdDd"
    "DdDdEeEeEeEeEeFf"
    "GgHhHhHhHhHhIiIi"
    "KkKkKkLlLlLlLlMm"
    "MmMmNnNnNnNnOoOo"
    "OoOoPpPpRrRrRrRr"
    "SsSsSsSsSsTtTtTt"
    "TtUuUuUuUuUuVvVv"
    "WwWwWwWwWwXxXxYy"
    "ZzZzZzhtwyas????"
    "AaAaAaAaAaAaAaAa"
    "AaAaAaAaEeEeEeEe"
    "EeEeEeEeIiIiOoOo"
    "OoOoOoOoOoOoOoOo"
    "OoOoUuUuUuUuUuUu"
    "UuYyYyYyYy??????";

static_assert(kLatin1AndExtended.size() == 0x250 - 0xC0);
static_assert(kLatinExtendedAdditional.size() == 0x100);

char lookUp(std::string_view table, char32_t offset)
{
    const char letter = table[offset];
    return letter == '?' ? 0 : letter;
}

} // namespace

char latinBaseLetter(char32_t codePoint)
{
    if (codePoint >= 0xC0 && codePoint < 0x250) {
        return lookUp(kLatin1AndExtended, codePoint - 0xC0);
    }
    if (codePoint >= 0x1E00 && codePoint < 0x1F00) {
        return lookUp(kLatinExtendedAdditional, codePoint - 0x1E00);
    }
    return 0;
}

} // namespace zr5::script::feed
