#include "kanji/text_converter.h"

#include "kanji/char_reader.h"
#include "kanji/mime_word.h"

#include <array>

namespace zr5::script::kanji {

namespace {

constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;

// JIS X 0212 rows 85..94 stand for CP932's user-defined area only in eucJP-ms;
// nkf gives them no meaning in ISO-2022-JP.
constexpr int kFirstUserDefinedRow = 85;

struct EscapeSequence {
    std::string_view tail; // the bytes after ESC
    std::optional<JisMode> mode; // none: accepted without effect
};

constexpr std::array<EscapeSequence, 15> kEscapeSequences = { {
    { "(B", JisMode::Ascii },
    { "(J", JisMode::Ascii },
    { "(H", JisMode::Ascii },
    { "(I", JisMode::Kana },
    { "$@", JisMode::Kanji },
    { "$B", JisMode::Kanji },
    { "$(B", JisMode::Kanji },
    { "$(@", JisMode::Kanji },
    { "$(Q", JisMode::Kanji },
    { "$(O", JisMode::Kanji },
    { "$(D", JisMode::Supplementary },
    { "$(P", JisMode::Ignored },
    { "&@", std::nullopt },
    { ")I", std::nullopt },
    { "$)B", std::nullopt },
} };

bool isJisByte(unsigned char b)
{
    return b >= 0x21 && b <= 0x7E;
}

} // namespace

TextConverter::TextConverter(std::string_view text, const SjisTables& tables, SjisWriter& writer)
    : m_text(text)
    , m_tables(tables)
    , m_writer(writer)
    , m_detector(tables)
{
}

void TextConverter::convertDetected()
{
    std::size_t pos = readByteOrderMark();
    m_mime = MimeDecoding::On;
    while (pos < m_text.size()) {
        pos += convertAt(pos);
    }
}

void TextConverter::convertAs(Encoding encoding)
{
    m_encoding = encoding;
    m_encodingFixed = true;
    m_mime = MimeDecoding::Off;
    std::size_t pos = 0;
    while (pos < m_text.size()) {
        pos += convertAt(pos);
    }
}

std::size_t TextConverter::readByteOrderMark()
{
    if (m_text.starts_with("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8;
        return 3;
    }
    if (const auto utf16 = utf16ByteOrder(m_text)) {
        m_encoding = utf16;
        m_encodingFixed = true;
        return 2;
    }
    return 0;
}

// Returns how many bytes were used; 0 only when the encoding is to be
// detected again at the same place.
std::size_t TextConverter::convertAt(std::size_t pos)
{
    if (m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be) {
        const std::size_t used = convertChar(*m_encoding, m_text, pos, m_tables, m_writer);
        // An odd last byte is not a character.
        return used != 0 ? used : m_text.size() - pos;
    }
    const auto b = static_cast<unsigned char>(m_text[pos]);
    if (b == kEscape) {
        return convertEscape(pos);
    }
    if (b == kShiftOut || b == kShiftIn) {
        if (b == kShiftOut && m_jisMode != JisMode::Kana) {
            m_modeBeforeShiftOut = m_jisMode;
        }
        m_jisMode = b == kShiftOut ? JisMode::Kana : m_modeBeforeShiftOut;
        return 1;
    }
    if (b < 0x80) {
        return convertSevenBit(pos);
    }
    return convertEightBit(pos);
}

std::size_t TextConverter::convertEscape(std::size_t pos)
{
    const auto rest = m_text.substr(pos + 1);
    for (const auto& sequence : kEscapeSequences) {
        if (rest.starts_with(sequence.tail)) {
            if (sequence.mode) {
                m_jisMode = *sequence.mode;
            }
            return 1 + sequence.tail.size();
        }
        if (sequence.tail.starts_with(rest)) {
            // An escape sequence cut off by the end of the text.
            return m_text.size() - pos;
        }
    }
    m_writer.putAscii(kEscape);
    return 1;
}

std::size_t TextConverter::convertSevenBit(std::size_t pos)
{
    const auto b = static_cast<unsigned char>(m_text[pos]);
    if (m_jisMode == JisMode::Ascii || !isJisByte(b)) {
        if (b == '=' && m_jisMode == JisMode::Ascii && m_mime == MimeDecoding::On) {
            return convertMimeWord(pos);
        }
        m_writer.putAscii(b);
        return 1;
    }
    if (m_jisMode == JisMode::Kana) {
        if (b <= 0x5F) {
            m_writer.putKana(static_cast<unsigned char>(b | 0x80));
        }
        return 1;
    }
    if (pos + 1 >= m_text.size() || !isJisByte(static_cast<unsigned char>(m_text[pos + 1]))) {
        return 1;
    }
    const int row = b - 0x20;
    const int cell = static_cast<unsigned char>(m_text[pos + 1]) - 0x20;
    if (m_jisMode == JisMode::Kanji) {
        m_writer.putCode(m_tables.normalize(sjisFromJis(row, cell)));
    } else if (m_jisMode == JisMode::Supplementary && row < kFirstUserDefinedRow) {
        m_writer.putCode(m_tables.fromJisX0212(row, cell));
    }
    return 2;
}

std::size_t TextConverter::convertMimeWord(std::size_t pos)
{
    auto word = readMimeWord(m_text, pos);
    if (!word) {
        m_writer.putAscii('=');
        return 1;
    }
    TextConverter payload(word->bytes, m_tables, m_writer);
    payload.convertAs(word->charset);
    // Only a decoded word swallows the white space that follows it.
    return (word->decoded ? nextAdjacentMimeWord(m_text, word->end) : word->end) - pos;
}

std::size_t TextConverter::convertEightBit(std::size_t pos)
{
    if (!m_encoding) {
        m_encoding = m_detector.detect(m_text, pos);
        m_detectedAt = pos;
    }
    const std::size_t used = convertChar(*m_encoding, m_text, pos, m_tables, m_writer);
    if (used != 0) {
        return used;
    }
    if (m_encodingFixed) {
        return 1;
    }
    if (scanChar(*m_encoding, m_text, pos, m_tables).cutOff) {
        // Nothing follows the cut-off character that another reading could use.
        return m_text.size() - pos;
    }
    // The chosen encoding breaks here: choose again from this byte, and drop
    // the byte if nothing reads it.
    const bool freshChoice = m_detectedAt == pos;
    m_encoding.reset();
    return freshChoice ? 1 : 0;
}

} // namespace zr5::script::kanji
