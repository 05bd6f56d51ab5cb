// The output side: Shift_JIS bytes with line ends and JIS X 0201 katakana
// handled the way nkf handles them.
#pragma once

#include "kanji/kanji_options.h"

#include <cstdint>
#include <string>

namespace zr5::script::kanji {

class SjisWriter final {
public:
    SjisWriter(std::string& out, LineEnd lineEnd);

    // A byte below 0x80. With LineEnd::Unix, CR LF and a lone CR become LF and
    // 0x1A is dropped.
    void putAscii(unsigned char byte);
    // A double-byte code, or a single byte when below 0x100; 0 writes nothing.
    void putCode(std::uint16_t code);
    // A half-width katakana 0xA1..0xDF; written full width, combined with a
    // voiced or semi-voiced sound mark that follows it.
    void putKana(unsigned char halfWidth);
    // Writes what is still held back (a katakana waiting for a sound mark).
    void finish();

private:
    void flushKana();
    void putRaw(std::uint16_t code);

    std::string& m_out;
    LineEnd m_lineEnd;
    unsigned char m_pendingKana = 0;
    bool m_afterCr = false;
};

} // namespace zr5::script::kanji
