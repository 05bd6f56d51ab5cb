#include "kanji_test_support.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

namespace zr5::script::kanji::test {

namespace {

std::string convertWithIconv(std::string_view text, const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv has no " << from << " -> " << to;
        return {};
    }
    std::string in(text);
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const auto result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const auto flushed = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1)) {
        ADD_FAILURE() << "iconv " << from << " -> " << to << " failed at byte " << in.size() - inLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string readAll(std::FILE* file)
{
    std::string data;
    std::array<char, 65536> buffer {};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        data.append(buffer.data(), got);
    }
    return data;
}

} // namespace

std::string encodeAs(std::string_view utf8Text, const char* to)
{
    return convertWithIconv(utf8Text, to, "UTF-8");
}

std::string base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = 0;
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        for (std::size_t k = 0; k < 3; ++k) {
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0U);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text.push_back(k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
        }
    }
    return text;
}

bool isWellFormedOutput(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == 0 || b == '\r' || b == 0x1A) {
            return false;
        }
        if (b < 0x80) {
            continue;
        }
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 >= text.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail > 0xFC || trail == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string nkfReference(std::string_view input)
{
    const bool utf16 = input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF");
    const std::string_view text = utf16 ? input : input.substr(0, input.find('\0'));
    char path[] = "/tmp/zr5-kanji-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        ADD_FAILURE() << "no temporary file";
        return {};
    }
    close(fd);
    {
        std::ofstream file(path, std::ios::binary);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    const std::string command = std::string("nkf -s -Lu < ") + path;
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output = pipe != nullptr ? readAll(pipe) : std::string();
    if (pipe == nullptr || pclose(pipe) != 0) {
        ADD_FAILURE() << "nkf did not run";
    }
    std::remove(path);
    std::erase(output, '\x1A');
    return output;
}

std::string hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0xF]);
        text.push_back(' ');
    }
    return text;
}

} // namespace zr5::script::kanji::test
