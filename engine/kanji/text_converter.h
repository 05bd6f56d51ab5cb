// Converts one text to Shift_JIS: ISO-2022-JP escapes, MIME encoded words and
// 8-bit text in the detected (or given) encoding.
#pragma once

#include "kanji/encoding.h"
#include "kanji/encoding_detector.h"
#include "kanji/sjis_tables.h"
#include "kanji/sjis_writer.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace zr5::script::kanji {

enum class MimeDecoding { Off, On };

// What 7-bit bytes mean after an ISO-2022-JP escape sequence; Supplementary
// is JIS X 0212, of which only the characters CP932 has are written.
enum class JisMode { Ascii, Kanji, Kana, Supplementary, Ignored };

class TextConverter final {
public:
    TextConverter(std::string_view text, const SjisTables& tables, SjisWriter& writer);

    // Detects the encoding of each 8-bit stretch, honours a byte-order mark at
    // the start and decodes MIME encoded words.
    void convertDetected();
    // Reads 8-bit text as the given encoding only (the payload of an encoded
    // word); MIME decoding is off.
    void convertAs(Encoding encoding);

private:
    void run();
    std::size_t readByteOrderMark();
    std::size_t convertAt(std::size_t pos);
    std::size_t convertEscape(std::size_t pos);
    std::size_t convertSevenBit(std::size_t pos);
    std::size_t convertMimeWord(std::size_t pos);
    std::size_t convertEightBit(std::size_t pos);

    std::string_view m_text;
    const SjisTables& m_tables;
    SjisWriter& m_writer;
    EncodingDetector m_detector;
    std::optional<Encoding> m_encoding;
    bool m_encodingFixed = false;
    std::size_t m_detectedAt = 0;
    JisMode m_jisMode = JisMode::Ascii;
    JisMode m_modeBeforeShiftOut = JisMode::Ascii;
    MimeDecoding m_mime = MimeDecoding::On;
};

} // namespace zr5::script::kanji
