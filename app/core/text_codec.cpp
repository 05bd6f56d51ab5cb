#include "core/text_codec.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace zr5::core {
namespace {

// Converts with iconv, skipping every input byte the converter rejects so that
// one bad character costs only itself.
std::string convert(const char* to, const char* from, std::string_view text)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<size_t>(out - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL (a truncated character at the end): drop one byte.
            ++in;
            --inLeft;
        }
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    result.append(buffer, static_cast<size_t>(out - buffer));
    iconv_close(cd);
    return result;
}

const char* localeCharset()
{
    const char* name = nl_langinfo(CODESET);
    // The C locale reports ASCII; file names on Linux are UTF-8 in practice.
    if (!name || std::string_view(name) == "ANSI_X3.4-1968") {
        return "UTF-8";
    }
    return name;
}

} // namespace

std::string cp932ToUtf8(std::string_view text)
{
    return convert("UTF-8", "CP932", text);
}
std::string utf8ToCp932(std::string_view text)
{
    return convert("CP932", "UTF-8", text);
}
std::string localeToCp932(std::string_view name)
{
    return convert("CP932", localeCharset(), name);
}
std::string cp932ToLocale(std::string_view name)
{
    return convert(localeCharset(), "CP932", name);
}

} // namespace zr5::core
