#include "feed/html_entities.h"

#include "feed/feed_reader.h"
#include "feed/utf8_text.h"

#include <libxml/HTMLparser.h>

namespace zr5::script::feed {

namespace {

// Longer than any HTML 4 entity name or useful character number.
constexpr std::size_t kMaxReferenceBody = 10;

bool isAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int digitValue(char c, int radix)
{
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < radix ? value : -1;
}

std::optional<char32_t> numericCodePoint(std::string_view digits, int radix)
{
    if (digits.empty()) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c, radix);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * static_cast<char32_t>(radix) + static_cast<char32_t>(digit);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return value;
}

std::optional<char32_t> namedCodePoint(std::string_view name)
{
    if (name == "apos") {
        return U'\'';
    }
    for (const char c : name) {
        if (!isAsciiAlnum(c)) {
            return std::nullopt;
        }
    }
    const std::string terminated(name);
    const htmlEntityDesc* entity = htmlEntityLookup(reinterpret_cast<const xmlChar*>(terminated.c_str()));
    if (entity == nullptr) {
        return std::nullopt;
    }
    return static_cast<char32_t>(entity->value);
}

// Copies text to out, replacing every reference by what appendDecoded makes of it.
template <typename AppendDecoded>
std::string decodeReferences(std::string_view text, AppendDecoded appendDecoded)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t ampersand = text.find('&', pos);
        out.append(text.substr(pos, ampersand - pos));
        if (ampersand == std::string_view::npos) {
            break;
        }
        if (const auto reference = readCharacterReference(text, ampersand)) {
            appendDecoded(out, reference->codePoint);
            pos = ampersand + reference->length;
        } else {
            out += '&';
            pos = ampersand + 1;
        }
    }
    return out;
}

} // namespace

std::optional<CharacterReference> readCharacterReference(std::string_view text, std::size_t pos)
{
    const std::string_view window = text.substr(pos + 1, kMaxReferenceBody + 1);
    const std::size_t semicolon = window.find(';');
    if (semicolon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view body = window.substr(0, semicolon);
    std::optional<char32_t> codePoint;
    if (body.size() > 1 && body[0] == '#' && (body[1] == 'x' || body[1] == 'X')) {
        codePoint = numericCodePoint(body.substr(2), 16);
    } else if (!body.empty() && body[0] == '#') {
        codePoint = numericCodePoint(body.substr(1), 10);
    } else if (!body.empty()) {
        codePoint = namedCodePoint(body);
    }
    if (!codePoint) {
        return std::nullopt;
    }
    return CharacterReference { *codePoint, body.size() + 2 };
}

std::string decodeHtmlEntitiesUtf8(std::string_view utf8)
{
    return decodeReferences(utf8, [](std::string& out, char32_t codePoint) { appendUtf8(out, codePoint); });
}

std::string decodeHtmlEntities(std::string_view cp932)
{
    // A CP932 trail byte is never '&' or ';', so references are found
    // wherever they stand.
    return decodeReferences(cp932, [](std::string& out, char32_t codePoint) {
        std::string utf8;
        appendUtf8(utf8, codePoint);
        out += utf8ToCp932WithStandIns(utf8);
    });
}

} // namespace zr5::script::feed
