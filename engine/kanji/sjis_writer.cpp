#include "kanji/sjis_writer.h"

#include "kanji/sjis_tables.h"

namespace zr5::script::kanji {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;
constexpr unsigned char kKanaU = 0xB3;
constexpr std::uint16_t kFullWidthVu = 0x8394;

bool takesVoicedMark(unsigned char kana)
{
    return (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
}

bool takesSemiVoicedMark(unsigned char kana)
{
    return kana >= 0xCA && kana <= 0xCE;
}

// Full-width code of kana combined with mark, 0 when they do not combine.
std::uint16_t combined(unsigned char kana, unsigned char mark)
{
    if (mark == kVoicedMark && kana == kKanaU) {
        return kFullWidthVu;
    }
    if (mark == kVoicedMark && takesVoicedMark(kana)) {
        return static_cast<std::uint16_t>(fullWidthKana(kana) + 1);
    }
    if (mark == kSemiVoicedMark && takesSemiVoicedMark(kana)) {
        return static_cast<std::uint16_t>(fullWidthKana(kana) + 2);
    }
    return 0;
}

} // namespace

SjisWriter::SjisWriter(std::string& out, LineEnd lineEnd)
    : m_out(out)
    , m_lineEnd(lineEnd)
{
}

void SjisWriter::putAscii(unsigned char byte)
{
    flushKana();
    if (m_lineEnd == LineEnd::Keep) {
        m_out.push_back(static_cast<char>(byte));
        return;
    }
    const bool afterCr = m_afterCr;
    m_afterCr = byte == '\r';
    if (byte == '\r') {
        m_out.push_back('\n');
    } else if (byte == '\n') {
        if (!afterCr) {
            m_out.push_back('\n');
        }
    } else if (byte != 0x1A) {
        m_out.push_back(static_cast<char>(byte));
    }
}

void SjisWriter::putCode(std::uint16_t code)
{
    if (code == 0) {
        return;
    }
    flushKana();
    if (code < 0x80) {
        putAscii(static_cast<unsigned char>(code));
        return;
    }
    putRaw(code);
}

void SjisWriter::putKana(unsigned char halfWidth)
{
    if (m_pendingKana != 0) {
        const std::uint16_t both = combined(m_pendingKana, halfWidth);
        if (both != 0) {
            m_pendingKana = 0;
            putRaw(both);
            return;
        }
        flushKana();
    }
    m_pendingKana = halfWidth;
}

void SjisWriter::finish()
{
    flushKana();
}

void SjisWriter::flushKana()
{
    if (m_pendingKana != 0) {
        const unsigned char kana = m_pendingKana;
        m_pendingKana = 0;
        putRaw(fullWidthKana(kana));
    }
}

void SjisWriter::putRaw(std::uint16_t code)
{
    m_afterCr = false;
    if (code > 0xFF) {
        m_out.push_back(static_cast<char>(code >> 8));
    }
    m_out.push_back(static_cast<char>(code & 0xFF));
}

} // namespace zr5::script::kanji
