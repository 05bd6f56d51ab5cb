#include "feed/cp932_decoder.h"

#include "sjis_bytes.h"

#include <array>
#include <iconv.h>
#include <memory>

namespace zr5::script::feed {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kUnassigned = 0;

using zr5::sjis::isLeadByte;

// Every single byte and every lead/trail pair, decoded once through iconv so
// the mapping is exactly the system's CP932 (NEC and IBM extensions included).
class Cp932Table final {
public:
    Cp932Table()
    {
        iconv_t cd = iconv_open("UTF-32LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return;
        }
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            if (!isLeadByte(static_cast<unsigned char>(byte))) {
                const char bytes[] = { static_cast<char>(byte) };
                m_codes[byte] = decode(cd, std::string_view(bytes, 1));
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[] = { static_cast<char>(lead), static_cast<char>(trail) };
                m_codes[lead << 8 | trail] = decode(cd, std::string_view(bytes, 2));
            }
        }
        iconv_close(cd);
    }

    char32_t single(unsigned char byte) const { return m_codes[byte]; }
    char32_t pair(unsigned char lead, unsigned char trail) const { return m_codes[lead << 8 | trail]; }

private:
    static char32_t decode(iconv_t cd, std::string_view bytes)
    {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        unsigned char out[4] = {};
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0
            || outLeft != 0) {
            return kUnassigned;
        }
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

    // Indexed by the byte, or by lead << 8 | trail; 0 where CP932 assigns nothing
    // (the zero byte itself is never looked up as a character).
    std::array<char32_t, 0x10000> m_codes {};
};

// Only characters of the Basic Multilingual Plane come out of CP932.
char* writeUtf8(char* out, char32_t code)
{
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
        return out;
    }
    if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
    } else {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
    return out;
}

const Cp932Table& table()
{
    static const auto instance = std::make_unique<Cp932Table>();
    return *instance;
}

} // namespace

bool isCp932Name(std::string_view encoding)
{
    return encoding == "CP932";
}

std::string cp932ToUtf8(std::string_view cp932)
{
    const Cp932Table& codes = table();
    // Every CP932 character takes at most three bytes of UTF-8 (and U+FFFD
    // for a lone byte three too).
    std::string out(cp932.size() * 3, '\0');
    char* write = out.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t size = cp932.size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = bytes[i];
        if (byte < 0x80) {
            *write++ = static_cast<char>(byte);
            continue;
        }
        char32_t code = kUnassigned;
        if (isLeadByte(byte) && i + 1 < size) {
            code = codes.pair(byte, bytes[i + 1]);
            // An unassigned pair gives up only its lead byte: the next byte
            // may begin a character of its own.
            i += code != kUnassigned ? 1 : 0;
        } else if (!isLeadByte(byte)) {
            code = codes.single(byte);
        }
        write = writeUtf8(write, code != kUnassigned ? code : kReplacement);
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
    return out;
}

} // namespace zr5::script::feed
