#include "kanji/sjis_tables.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <string>

namespace zr5::script::kanji {

namespace {

// JIS X 0201 katakana 0xA1..0xDF as their JIS X 0208 counterparts.
constexpr std::array<std::uint16_t, 63> kFullWidthKana = {
    0x8142,
    0x8175,
    0x8176,
    0x8141,
    0x8145,
    0x8392,
    0x8340,
    0x8342,
    0x8344,
    0x8346,
    0x8348,
    0x8383,
    0x8385,
    0x8387,
    0x8362,
    0x815B,
    0x8341,
    0x8343,
    0x8345,
    0x8347,
    0x8349,
    0x834A,
    0x834C,
    0x834E,
    0x8350,
    0x8352,
    0x8354,
    0x8356,
    0x8358,
    0x835A,
    0x835C,
    0x835E,
    0x8360,
    0x8363,
    0x8365,
    0x8367,
    0x8369,
    0x836A,
    0x836B,
    0x836C,
    0x836D,
    0x836E,
    0x8371,
    0x8374,
    0x8377,
    0x837A,
    0x837D,
    0x837E,
    0x8380,
    0x8381,
    0x8382,
    0x8384,
    0x8386,
    0x8388,
    0x8389,
    0x838A,
    0x838B,
    0x838C,
    0x838D,
    0x838F,
    0x8393,
    0x814A,
    0x814B,
};

struct UnicodeOverride {
    char32_t codePoint;
    std::uint16_t sjis;
};

// Latin-1 signs that nkf writes as their JIS look-alikes where CP932 has none
// or a single-byte one.
constexpr std::array<UnicodeOverride, 5> kUnicodeOverrides = { {
    { 0x00A5, 0x818F },
    { 0x00A6, 0xFA55 },
    { 0x00AF, 0x8150 },
    { 0x00B8, 0x8143 },
    { 0x203E, 0x8150 },
} };

constexpr unsigned kVendorFirstLead = 0xED;
constexpr unsigned kVendorLastLead = 0xFC;
constexpr unsigned kIbmFirstLead = 0xFA;

// One iconv descriptor used only while the tables are built.
class Iconv final {
public:
    Iconv(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Iconv()
    {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one character; returns the output bytes, empty when unmapped.
    std::string convert(const void* data, std::size_t size)
    {
        if (!valid()) {
            return {};
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char in[8] = {};
        std::copy_n(static_cast<const char*>(data), size, in);
        char out[16] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = size;
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return {};
        }
        return std::string(out, static_cast<std::size_t>(outPtr - out));
    }

private:
    iconv_t m_cd;
};

std::uint16_t codeOf(const std::string& bytes)
{
    if (bytes.size() == 1) {
        return static_cast<unsigned char>(bytes[0]);
    }
    if (bytes.size() == 2) {
        return static_cast<std::uint16_t>(
            (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]));
    }
    return 0;
}

char32_t codePointOf(const std::string& utf32le)
{
    if (utf32le.size() != 4) {
        return 0;
    }
    char32_t cp = 0;
    for (int i = 3; i >= 0; --i) {
        cp = (cp << 8) | static_cast<unsigned char>(utf32le[static_cast<std::size_t>(i)]);
    }
    return cp;
}

std::array<unsigned char, 2> bytesOf(std::uint16_t code)
{
    return { static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF) };
}

// Rows 83 and 84 hold the IBM extensions, which stay IBM codes rather than
// their NEC row 13 twins; elsewhere nkf knows no JIS X 0212 character that
// lands in row 13.
std::uint16_t x0212Code(int row, std::uint16_t cp932, std::uint16_t ibm)
{
    const bool necRow13 = (cp932 >> 8) == 0x87;
    if (row >= 83) {
        return necRow13 && ibm != 0 ? ibm : cp932;
    }
    return necRow13 ? 0 : cp932;
}

bool isVendorDuplicateKept(std::uint16_t source, std::uint16_t folded)
{
    // NEC row 13 stays as it is, and IBM characters are not moved there.
    return (folded >> 8) == 0x87 || (source >> 8) == 0x87;
}

} // namespace

const SjisTables& SjisTables::instance()
{
    static const SjisTables tables;
    return tables;
}

SjisTables::SjisTables()
    : m_fromUnicode(0x10000, 0)
    , m_vendorArea((kVendorLastLead - kVendorFirstLead + 1) * 256, 0)
    , m_fromX0212(94 * 94, 0)
    , m_assigned(0x10000, false)
{
    buildFromUnicode();
    std::vector<std::uint16_t> ibmFromUnicode(0x10000, 0);
    Iconv fromCp932("UTF-32LE", "CP932");
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const auto code = static_cast<std::uint16_t>((lead << 8) | trail);
            const char32_t cp = codePointOf(fromCp932.convert(bytesOf(code).data(), 2));
            m_assigned[code] = cp != 0;
            if (lead >= kVendorFirstLead) {
                m_vendorArea[(lead - kVendorFirstLead) * 256 + trail] = foldVendorCode(code, cp);
            }
            if (lead >= kIbmFirstLead && cp != 0 && cp < 0x10000 && ibmFromUnicode[cp] == 0) {
                ibmFromUnicode[cp] = code;
            }
        }
    }
    buildFromX0212(ibmFromUnicode);
}

void SjisTables::buildFromUnicode()
{
    Iconv toCp932("CP932", "UTF-32LE");
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000) {
            continue;
        }
        const unsigned char le[4]
            = { static_cast<unsigned char>(cp & 0xFF), static_cast<unsigned char>((cp >> 8) & 0xFF), 0, 0 };
        m_fromUnicode[cp] = codeOf(toCp932.convert(le, 4));
    }
    for (const auto& o : kUnicodeOverrides) {
        m_fromUnicode[o.codePoint] = o.sjis;
    }
}

std::uint16_t SjisTables::foldVendorCode(std::uint16_t code, char32_t codePoint) const
{
    const std::uint16_t folded = codePoint != 0 && codePoint < 0x10000 ? m_fromUnicode[codePoint] : 0;
    if (folded == 0) {
        // Unassigned NEC-selected codes pass; nothing is made of the rest of
        // the IBM area.
        return (code >> 8) < 0xFA ? code : 0;
    }
    return isVendorDuplicateKept(code, folded) ? code : folded;
}

void SjisTables::buildFromX0212(const std::vector<std::uint16_t>& ibmFromUnicode)
{
    // eucJP-ms places the IBM extensions in JIS X 0212's user rows; plain
    // EUC-JP covers the standard rows where eucJP-ms differs.
    Iconv fromEucMs("UTF-32LE", "EUC-JP-MS");
    Iconv fromEuc("UTF-32LE", "EUC-JP");
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const unsigned char bytes[3]
                = { 0x8F, static_cast<unsigned char>(row + 0xA0), static_cast<unsigned char>(cell + 0xA0) };
            char32_t cp = codePointOf(fromEucMs.convert(bytes, 3));
            if (cp == 0) {
                cp = codePointOf(fromEuc.convert(bytes, 3));
            }
            if (cp != 0 && cp < 0x10000) {
                m_fromX0212[static_cast<std::size_t>((row - 1) * 94 + cell - 1)]
                    = x0212Code(row, m_fromUnicode[cp], ibmFromUnicode[cp]);
            }
        }
    }
}

std::uint16_t SjisTables::fromUnicode(char32_t codePoint) const
{
    return codePoint < 0x10000 ? m_fromUnicode[codePoint] : 0;
}

std::uint16_t SjisTables::normalize(std::uint16_t sjis) const
{
    const unsigned lead = sjis >> 8;
    if (lead < kVendorFirstLead || lead > kVendorLastLead) {
        return sjis;
    }
    return m_vendorArea[(lead - kVendorFirstLead) * 256 + (sjis & 0xFF)];
}

bool SjisTables::isAssigned(std::uint16_t sjis) const
{
    return m_assigned[sjis];
}

std::uint16_t SjisTables::fromJisX0212(int row, int cell) const
{
    if (row < 1 || row > 94 || cell < 1 || cell > 94) {
        return 0;
    }
    return m_fromX0212[static_cast<std::size_t>((row - 1) * 94 + cell - 1)];
}

std::uint16_t sjisFromJis(int row, int cell)
{
    const int j1 = row + 0x20;
    const int j2 = cell + 0x20;
    int s1 = ((j1 - 0x21) >> 1) + 0x81;
    if (s1 > 0x9F) {
        s1 += 0x40;
    }
    int s2 = 0;
    if (j1 & 1) {
        s2 = j2 + (j2 >= 0x60 ? 0x20 : 0x1F);
    } else {
        s2 = j2 + 0x7E;
    }
    return static_cast<std::uint16_t>((s1 << 8) | s2);
}

int jisRowOfSjis(unsigned char lead, unsigned char trail)
{
    const int base = lead >= 0xE0 ? lead - 0xC1 : lead - 0x81;
    return base * 2 + (trail >= 0x9F ? 2 : 1);
}

std::uint16_t fullWidthKana(unsigned char halfWidth)
{
    if (halfWidth < 0xA1 || halfWidth > 0xDF) {
        return 0;
    }
    return kFullWidthKana[halfWidth - 0xA1];
}

} // namespace zr5::script::kanji
