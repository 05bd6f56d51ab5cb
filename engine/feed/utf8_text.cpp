#include "feed/utf8_text.h"

namespace zr5::script::feed {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

struct SequenceShape {
    std::size_t length;
    char32_t leadBits;
    char32_t smallest; // below this the form is overlong
};

SequenceShape shapeOf(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) {
        return { 2, lead & 0x1Fu, 0x80 };
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return { 3, lead & 0x0Fu, 0x800 };
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return { 4, lead & 0x07u, 0x10000 };
    }
    return { 0, 0, 0 };
}

} // namespace

char32_t nextCodePoint(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    const SequenceShape shape = shapeOf(lead);
    if (shape.length == 0 || pos + shape.length > text.size()) {
        ++pos;
        return kInvalidCodePoint;
    }
    char32_t value = shape.leadBits;
    for (std::size_t i = 1; i < shape.length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte)) {
            ++pos;
            return kInvalidCodePoint;
        }
        value = (value << 6) | (byte & 0x3Fu);
    }
    if (value < shape.smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return kInvalidCodePoint;
    }
    pos += shape.length;
    return value;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string_view cutAtCharacter(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    while (end > 0 && isContinuation(static_cast<unsigned char>(text[end]))) {
        --end;
    }
    return text.substr(0, end);
}

bool isValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (nextCodePoint(text, pos) == kInvalidCodePoint) {
            return false;
        }
    }
    return true;
}

} // namespace zr5::script::feed
