#include "kanji/char_reader.h"

#include "sjis_bytes.h"

namespace zr5::script::kanji {

namespace {

using zr5::sjis::isLeadByte;
using zr5::sjis::isTrailByte;

constexpr unsigned char kSingleShift2 = 0x8E;
constexpr unsigned char kSingleShift3 = 0x8F;

unsigned char byteAt(std::string_view text, std::size_t pos)
{
    return static_cast<unsigned char>(text[pos]);
}

bool isEucByte(unsigned char b)
{
    return b >= 0xA1 && b <= 0xFE;
}

bool isHalfWidthKana(unsigned char b)
{
    return b >= 0xA1 && b <= 0xDF;
}

// How unusual a double-byte character is in real text.
unsigned codePenalty(std::uint16_t sjis, const SjisTables& tables)
{
    if (!tables.isAssigned(sjis)) {
        return kPenaltyUnassigned;
    }
    const int row
        = jisRowOfSjis(static_cast<unsigned char>(sjis >> 8), static_cast<unsigned char>(sjis & 0xFF));
    if (row == 13) {
        return kPenaltyNecSpecial;
    }
    // Rows 89..92 are the NEC-selected IBM extensions; beyond 94 come the
    // user-defined area (leads 0xF0..0xF9) and the IBM extensions.
    if (row >= 89 && row <= 92) {
        return kPenaltyNecSelectedIbm;
    }
    if (row > 114) {
        return kPenaltyIbm;
    }
    if (row > 94) {
        return kPenaltyUserDefined;
    }
    return row >= 48 ? kPenaltyLevel2 : kPenaltyNone;
}

struct Utf8Char {
    std::size_t length = 0;
    char32_t codePoint = 0;
    bool cutOff = false;
};

bool inRange(unsigned char b, unsigned char low, unsigned char high)
{
    return b >= low && b <= high;
}

Utf8Char readUtf8(std::string_view text, std::size_t pos)
{
    const unsigned char b0 = byteAt(text, pos);
    if (b0 < 0x80) {
        return { 1, b0 };
    }
    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (inRange(b0, 0xC2, 0xDF)) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (inRange(b0, 0xE0, 0xEF)) {
        length = 3;
        cp = b0 & 0x0F;
        low = b0 == 0xE0 ? 0xA0 : 0x80;
        high = b0 == 0xED ? 0x9F : 0xBF;
    } else if (inRange(b0, 0xF0, 0xF4)) {
        length = 4;
        cp = b0 & 0x07;
        low = b0 == 0xF0 ? 0x90 : 0x80;
        high = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (pos + 1 >= text.size()) {
        return { 0, 0, true };
    }
    if (!inRange(byteAt(text, pos + 1), low, high)) {
        return {};
    }
    if (pos + length > text.size()) {
        const bool validSoFar = pos + 2 >= text.size() || inRange(byteAt(text, pos + 2), 0x80, 0xBF);
        return { 0, 0, validSoFar };
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = byteAt(text, pos + i);
        if (i > 1 && !inRange(b, 0x80, 0xBF)) {
            return {};
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return { length, cp, false };
}

void writeUnicode(char32_t cp, const SjisTables& tables, SjisWriter& writer)
{
    if (cp < 0x80) {
        writer.putAscii(static_cast<unsigned char>(cp));
    } else if (cp >= 0xFF61 && cp <= 0xFF9F) {
        writer.putKana(static_cast<unsigned char>(cp - 0xFF61 + 0xA1));
    } else {
        writer.putCode(tables.fromUnicode(cp));
    }
}

CharScan scanEuc(std::string_view text, std::size_t pos, const SjisTables& tables)
{
    const unsigned char b0 = byteAt(text, pos);
    if (b0 < 0x80) {
        return { 1, kPenaltyNone };
    }
    const auto has = [&](std::size_t n) { return pos + n <= text.size(); };
    if (isEucByte(b0) && has(2) && isEucByte(byteAt(text, pos + 1))) {
        const auto code = sjisFromJis(b0 - 0xA0, byteAt(text, pos + 1) - 0xA0);
        return { 2, codePenalty(code, tables) };
    }
    if (b0 == kSingleShift2 && has(2) && isHalfWidthKana(byteAt(text, pos + 1))) {
        return { 2, kPenaltyKana };
    }
    if (b0 == kSingleShift3 && has(3) && isEucByte(byteAt(text, pos + 1))
        && isEucByte(byteAt(text, pos + 2))) {
        return { 3, kPenaltyX0212 };
    }
    const bool lead = isEucByte(b0) || b0 == kSingleShift2 || b0 == kSingleShift3;
    const bool cutOff
        = lead && (!has(2) || (b0 == kSingleShift3 && !has(3) && isEucByte(byteAt(text, pos + 1))));
    return { 0, kPenaltyNone, cutOff };
}

CharScan scanSjis(std::string_view text, std::size_t pos, const SjisTables& tables)
{
    const unsigned char b0 = byteAt(text, pos);
    if (b0 < 0x80) {
        return { 1, kPenaltyNone };
    }
    if (isHalfWidthKana(b0)) {
        return { 1, kPenaltyKana };
    }
    if (isLeadByte(b0) && pos + 1 < text.size() && isTrailByte(byteAt(text, pos + 1))) {
        return { 2, codePenalty(static_cast<std::uint16_t>((b0 << 8) | byteAt(text, pos + 1)), tables) };
    }
    return { 0, kPenaltyNone, isLeadByte(b0) && pos + 1 == text.size() };
}

CharScan scanUtf8(std::string_view text, std::size_t pos, const SjisTables& tables)
{
    const Utf8Char c = readUtf8(text, pos);
    if (c.length <= 1) {
        return { c.length, kPenaltyNone, c.cutOff };
    }
    // Half-width katakana are no rarer in UTF-8 than other characters.
    if (c.codePoint >= 0xFF61 && c.codePoint <= 0xFF9F) {
        return { c.length, kPenaltyNone };
    }
    const std::uint16_t code = tables.fromUnicode(c.codePoint);
    if (code == 0) {
        return { c.length, kPenaltyUnassigned };
    }
    if (code < 0x100) {
        return { c.length, kPenaltyNone };
    }
    return { c.length, codePenalty(code, tables) };
}

std::size_t convertEuc(std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer)
{
    const unsigned char b0 = byteAt(text, pos);
    if (b0 < 0x80) {
        writer.putAscii(b0);
        return 1;
    }
    const unsigned char b1 = pos + 1 < text.size() ? byteAt(text, pos + 1) : 0;
    if (isEucByte(b0) && isEucByte(b1)) {
        writer.putCode(tables.normalize(sjisFromJis(b0 - 0xA0, b1 - 0xA0)));
        return 2;
    }
    if (b0 == kSingleShift2 && isHalfWidthKana(b1)) {
        writer.putKana(b1);
        return 2;
    }
    const unsigned char b2 = pos + 2 < text.size() ? byteAt(text, pos + 2) : 0;
    if (b0 == kSingleShift3 && isEucByte(b1) && isEucByte(b2)) {
        writer.putCode(tables.fromJisX0212(b1 - 0xA0, b2 - 0xA0));
        return 3;
    }
    return 0;
}

std::size_t convertSjis(std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer)
{
    const unsigned char b0 = byteAt(text, pos);
    if (b0 < 0x80) {
        writer.putAscii(b0);
        return 1;
    }
    if (isHalfWidthKana(b0)) {
        writer.putKana(b0);
        return 1;
    }
    if (isLeadByte(b0) && pos + 1 < text.size() && isTrailByte(byteAt(text, pos + 1))) {
        writer.putCode(tables.normalize(static_cast<std::uint16_t>((b0 << 8) | byteAt(text, pos + 1))));
        return 2;
    }
    return 0;
}

std::size_t convertUtf8(std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer)
{
    const Utf8Char c = readUtf8(text, pos);
    if (c.length != 0) {
        writeUnicode(c.codePoint, tables, writer);
    }
    return c.length;
}

// One UTF-16 unit or surrogate pair, read like the same character in UTF-8.
// Lone surrogates are consumed silently, and so is U+0000, which would cut the
// document short for later readers.
std::size_t convertUtf16(
    Encoding encoding, std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer)
{
    const auto unitAt = [&](std::size_t at) {
        const unsigned b0 = byteAt(text, at);
        const unsigned b1 = byteAt(text, at + 1);
        return static_cast<char32_t>(encoding == Encoding::Utf16Le ? (b1 << 8) | b0 : (b0 << 8) | b1);
    };
    if (pos + 2 > text.size()) {
        return 0;
    }
    const char32_t unit = unitAt(pos);
    if (unit >= 0xD800 && unit < 0xDC00 && pos + 4 <= text.size()) {
        const char32_t low = unitAt(pos + 2);
        if (low >= 0xDC00 && low < 0xE000) {
            writeUnicode(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), tables, writer);
            return 4;
        }
    }
    if (unit != 0 && (unit < 0xD800 || unit >= 0xE000)) {
        writeUnicode(unit, tables, writer);
    }
    return 2;
}

} // namespace

CharScan scanChar(Encoding encoding, std::string_view text, std::size_t pos, const SjisTables& tables)
{
    switch (encoding) {
    case Encoding::EucJp:
        return scanEuc(text, pos, tables);
    case Encoding::ShiftJis:
        return scanSjis(text, pos, tables);
    case Encoding::Utf8:
        return scanUtf8(text, pos, tables);
    default:
        return { 1, kPenaltyNone };
    }
}

std::size_t convertChar(
    Encoding encoding, std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer)
{
    switch (encoding) {
    case Encoding::EucJp:
        return convertEuc(text, pos, tables, writer);
    case Encoding::ShiftJis:
        return convertSjis(text, pos, tables, writer);
    case Encoding::Utf8:
        return convertUtf8(text, pos, tables, writer);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        return convertUtf16(encoding, text, pos, tables, writer);
    case Encoding::Latin1:
        writeUnicode(byteAt(text, pos), tables, writer);
        return 1;
    }
    return 0;
}

} // namespace zr5::script::kanji
