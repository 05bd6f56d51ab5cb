// utf8ToCp932WithStandIns: each character's CP932 code is asked of iconv the
// first time it is met and kept, so a long feed costs one table look-up per
// character; where CP932 lacks a character, the stand-in goes out instead.
#include "feed/feed_reader.h"
#include "feed/latin_base_letters.h"
#include "feed/utf8_text.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace zr5::script::feed {

namespace {

constexpr std::string_view kGeta = "\x81\xAC";

class Cp932Encoder final {
public:
    Cp932Encoder()
        : m_cd(iconv_open("CP932", "UTF-32LE"))
    {
    }
    ~Cp932Encoder()
    {
        if (m_cd != invalid()) {
            iconv_close(m_cd);
        }
    }
    Cp932Encoder(const Cp932Encoder&) = delete;
    Cp932Encoder& operator=(const Cp932Encoder&) = delete;

    // codePoint is neither ASCII nor invalid.
    void append(char32_t codePoint, std::string& out)
    {
        const std::uint16_t code = codePoint < m_codes.size() ? lookUp(codePoint) : kLacking;
        if (code == kLacking) {
            const char base = latinBaseLetter(codePoint);
            out += base != 0 ? std::string_view(&base, 1) : kGeta;
        } else if (code < 0x100) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
    }

private:
    static constexpr std::uint16_t kUnknown = 0; // not asked yet
    static constexpr std::uint16_t kLacking = 0xFFFF; // CP932 has no such character

    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    std::uint16_t lookUp(char32_t codePoint)
    {
        std::uint16_t& code = m_codes[codePoint];
        if (code == kUnknown) {
            code = ask(codePoint);
        }
        return code;
    }

    std::uint16_t ask(char32_t codePoint) const
    {
        if (m_cd == invalid()) {
            return kLacking;
        }
        const unsigned char in[4] = { static_cast<unsigned char>(codePoint),
            static_cast<unsigned char>(codePoint >> 8), static_cast<unsigned char>(codePoint >> 16), 0 };
        char* inPos = const_cast<char*>(reinterpret_cast<const char*>(in));
        std::size_t inLeft = sizeof in;
        unsigned char out[4] = {};
        char* outPos = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return kLacking;
        }
        switch (sizeof out - outLeft) {
        case 1:
            return out[0];
        case 2:
            return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
        default:
            return kLacking;
        }
    }

    iconv_t m_cd;
    // Indexed by code point: every CP932 character is in the Basic Multilingual Plane.
    std::array<std::uint16_t, 0x10000> m_codes {};
};

Cp932Encoder& encoder()
{
    thread_local const auto instance = std::make_unique<Cp932Encoder>();
    return *instance;
}

} // namespace

std::string utf8ToCp932WithStandIns(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            if (byte != 0) {
                out += static_cast<char>(byte);
            }
            ++pos;
            continue;
        }
        const char32_t codePoint = nextCodePoint(utf8, pos);
        if (codePoint == kInvalidCodePoint) {
            out += kGeta;
        } else {
            encoder().append(codePoint, out);
        }
    }
    return out;
}

} // namespace zr5::script::feed
