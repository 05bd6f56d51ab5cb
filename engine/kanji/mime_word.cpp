#include "kanji/mime_word.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zr5::script::kanji {

namespace {

struct Charset {
    std::string_view name;
    Encoding encoding;
};

// ISO-2022-JP words hold only 7-bit bytes and escapes, which every reader
// handles the same way; EUC-JP stands in for stray 8-bit bytes.
constexpr std::array<Charset, 6> kCharsets = { {
    { "EUC-JP", Encoding::EucJp },
    { "SHIFT_JIS", Encoding::ShiftJis },
    { "ISO-8859-1", Encoding::Latin1 },
    { "ISO-2022-JP", Encoding::EucJp },
    { "UTF-8", Encoding::Utf8 },
    { "US-ASCII", Encoding::Latin1 },
} };

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i]))
            != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<Encoding> charsetNamed(std::string_view name)
{
    for (const auto& charset : kCharsets) {
        if (equalsIgnoreCase(name, charset.name)) {
            return charset.encoding;
        }
    }
    return std::nullopt;
}

int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    return c == '/' ? 63 : -1;
}

bool isBase64Text(std::string_view payload)
{
    return std::ranges::all_of(payload, [](char c) { return c == '=' || base64Value(c) >= 0; });
}

std::string decodeBase64(std::string_view payload)
{
    std::string bytes;
    unsigned bits = 0;
    int bitCount = 0;
    for (const char c : payload) {
        const int value = base64Value(c);
        if (value < 0) {
            break;
        }
        bits = (bits << 6) | static_cast<unsigned>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<char>((bits >> bitCount) & 0xFF));
        }
    }
    return bytes;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int upper = std::toupper(static_cast<unsigned char>(c));
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

std::string decodeQuoted(std::string_view payload)
{
    std::string bytes;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        if (c == '_') {
            bytes.push_back(' ');
        } else if (c == '=' && i + 2 < payload.size() && hexValue(payload[i + 1]) >= 0
            && hexValue(payload[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(hexValue(payload[i + 1]) * 16 + hexValue(payload[i + 2])));
            i += 2;
        } else {
            bytes.push_back(c);
        }
    }
    return bytes;
}

bool isPayloadByte(char c)
{
    return c > ' ' && c < 0x7F && c != '?';
}

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::optional<MimeWord> readMimeWord(std::string_view text, std::size_t pos)
{
    if (text.substr(pos, 2) != "=?") {
        return std::nullopt;
    }
    const std::size_t nameStart = pos + 2;
    const std::size_t nameEnd = text.find('?', nameStart);
    if (nameEnd == std::string_view::npos || nameEnd + 2 >= text.size() || text[nameEnd + 2] != '?') {
        return std::nullopt;
    }
    const auto charset = charsetNamed(text.substr(nameStart, nameEnd - nameStart));
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text[nameEnd + 1])));
    if (!charset || (kind != 'B' && kind != 'Q')) {
        return std::nullopt;
    }
    const std::size_t payloadStart = nameEnd + 3;
    std::size_t payloadEnd = payloadStart;
    while (payloadEnd < text.size() && isPayloadByte(text[payloadEnd])) {
        ++payloadEnd;
    }
    if (text.substr(payloadEnd, 2) != "?=") {
        return std::nullopt;
    }
    const auto payload = text.substr(payloadStart, payloadEnd - payloadStart);
    MimeWord word;
    word.end = payloadEnd + 2;
    if (kind == 'B' && !isBase64Text(payload)) {
        word.decoded = false;
        word.bytes = text.substr(pos, word.end - pos);
        return word;
    }
    word.charset = *charset;
    word.bytes = kind == 'B' ? decodeBase64(payload) : decodeQuoted(payload);
    // The converted text ends at its first zero byte for every later reader.
    std::erase(word.bytes, '\0');
    return word;
}

std::size_t nextAdjacentMimeWord(std::string_view text, std::size_t pos)
{
    std::size_t next = pos;
    while (next < text.size() && isWhiteSpace(text[next])) {
        ++next;
    }
    if (next == pos || !readMimeWord(text, next)) {
        return pos;
    }
    return next;
}

} // namespace zr5::script::kanji
