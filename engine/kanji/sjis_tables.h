// Character tables for Shift_JIS output, built once from iconv's CP932 and
// EUC-JP tables plus the few places where nkf maps differently.
#pragma once

#include <cstdint>
#include <vector>

namespace zr5::script::kanji {

class SjisTables final {
public:
    // Built on first use; construction is thread-safe and the tables are
    // read-only afterwards.
    static const SjisTables& instance();

    // Shift_JIS code of a BMP code point: one byte when below 0x100, two bytes
    // otherwise, 0 when there is none. Half-width katakana are not handled
    // here (they go through composition).
    std::uint16_t fromUnicode(char32_t codePoint) const;

    // A double-byte Shift_JIS code as written: NEC-selected IBM extensions and
    // IBM duplicates of standard characters folded onto one code, codes that
    // nothing can be made of dropped (0).
    std::uint16_t normalize(std::uint16_t sjis) const;

    // Whether a double-byte Shift_JIS code is a CP932 character (the
    // user-defined area counts).
    bool isAssigned(std::uint16_t sjis) const;

    // Shift_JIS code of a JIS X 0212 character (row and cell 1..94), 0 if none.
    std::uint16_t fromJisX0212(int row, int cell) const;

private:
    SjisTables();
    void buildFromUnicode();
    void buildFromX0212(const std::vector<std::uint16_t>& ibmFromUnicode);
    std::uint16_t foldVendorCode(std::uint16_t code, char32_t codePoint) const;

    std::vector<std::uint16_t> m_fromUnicode;
    std::vector<std::uint16_t> m_vendorArea; // leads 0xED..0xFC
    std::vector<std::uint16_t> m_fromX0212;
    std::vector<bool> m_assigned; // indexed by the double-byte code
};

// Double-byte Shift_JIS code of a JIS X 0208 row and cell (1..94).
std::uint16_t sjisFromJis(int row, int cell);

// JIS row (1..120, beyond 94 for the user-defined leads 0xF0..0xFC) of a
// double-byte Shift_JIS lead byte and trail byte.
int jisRowOfSjis(unsigned char lead, unsigned char trail);

// Full-width Shift_JIS code of a half-width katakana byte 0xA1..0xDF.
std::uint16_t fullWidthKana(unsigned char halfWidth);

} // namespace zr5::script::kanji
