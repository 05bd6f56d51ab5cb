#include "builtins/sjis_text.h"

namespace zr5::script::sjis {

namespace {

// Double-byte letters whose two cases live in parallel runs of trail bytes
// under one lead byte. Cyrillic lower case skips the trail byte 0x7F, which
// CP932 never uses, so its run is split in two.
struct CaseRun {
    unsigned char lead;
    unsigned char upperFirst;
    unsigned char lowerFirst;
    unsigned char size;
};

constexpr CaseRun kCaseRuns[] = {
    { 0x82, 0x60, 0x81, 26 }, // full-width Latin A-Z / a-z
    { 0x83, 0x9F, 0xBF, 24 }, // Greek capital / small letters
    { 0x84, 0x40, 0x70, 15 }, // Cyrillic A..N / a..n
    { 0x84, 0x4F, 0x80, 18 }, // Cyrillic O..YA / o..ya
};

// The trail byte after changing the case of the double-byte character
// (lead, trail), or trail itself when it is not a letter of the other case.
unsigned char mapTrail(unsigned char lead, unsigned char trail, LetterCase target)
{
    for (const CaseRun& run : kCaseRuns) {
        if (run.lead != lead) {
            continue;
        }
        const unsigned char from = target == LetterCase::Upper ? run.lowerFirst : run.upperFirst;
        const unsigned char to = target == LetterCase::Upper ? run.upperFirst : run.lowerFirst;
        if (trail >= from && trail < from + run.size) {
            return static_cast<unsigned char>(to + (trail - from));
        }
    }
    return trail;
}

char mapAscii(char byte, LetterCase target)
{
    if (target == LetterCase::Upper && byte >= 'a' && byte <= 'z') {
        return static_cast<char>(byte - 'a' + 'A');
    }
    if (target == LetterCase::Lower && byte >= 'A' && byte <= 'Z') {
        return static_cast<char>(byte - 'A' + 'a');
    }
    return byte;
}

} // namespace

std::string_view counted(std::string_view text)
{
    const auto zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

std::size_t length(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += charSize(text, pos)) {
        ++characters;
    }
    return characters;
}

std::size_t skip(std::string_view text, std::uint32_t count)
{
    std::size_t pos = 0;
    for (std::uint32_t i = 0; i < count && pos < text.size(); ++i) {
        pos += charSize(text, pos);
    }
    return pos;
}

Match find(std::string_view text, std::size_t from, std::string_view needle)
{
    std::size_t characters = 0;
    std::size_t pos = 0;
    for (; pos < from && pos < text.size(); pos += charSize(text, pos)) {
        ++characters;
    }
    for (; pos < text.size(); pos += charSize(text, pos)) {
        if (text.substr(pos, needle.size()) == needle) {
            return { pos, characters };
        }
        ++characters;
    }
    if (needle.empty()) {
        return { pos, characters };
    }
    return { std::string_view::npos, characters };
}

std::string changeCase(std::string_view text, LetterCase target)
{
    std::string result(text);
    for (std::size_t pos = 0; pos < result.size();) {
        const std::size_t size = charSize(result, pos);
        if (size == 2) {
            const auto lead = static_cast<unsigned char>(result[pos]);
            const auto trail = static_cast<unsigned char>(result[pos + 1]);
            result[pos + 1] = static_cast<char>(mapTrail(lead, trail, target));
        } else {
            result[pos] = mapAscii(result[pos], target);
        }
        pos += size;
    }
    return result;
}

} // namespace zr5::script::sjis
