#include "feed/feed_encoding.h"

#include "feed/utf8_text.h"
#include "kanji/encoding_detector.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iconv.h>

namespace zr5::script::feed {

namespace {

using kanji::Encoding;

constexpr std::string_view kUtf8 = "UTF-8";
constexpr std::string_view kCp932 = "CP932";
// EUC-JP with the vendor rows, as the converter reads it.
constexpr std::string_view kEucJp = "EUC-JP-MS";

// An XML declaration is short; looking further only finds other things.
constexpr std::size_t kDeclarationWindow = 512;

struct Alias {
    std::string_view alias;
    std::string_view name;
};

// Web names of the Japanese encodings, mapped to iconv's supersets that
// hold the vendor characters the web uses under those names.
constexpr std::array kAliases {
    Alias { "shift_jis", kCp932 },
    Alias { "shift-jis", kCp932 },
    Alias { "sjis", kCp932 },
    Alias { "x-sjis", kCp932 },
    Alias { "windows-31j", kCp932 },
    Alias { "ms_kanji", kCp932 },
    Alias { "csshiftjis", kCp932 },
    Alias { "cp932", kCp932 },
    Alias { "euc-jp", kEucJp },
    Alias { "x-euc-jp", kEucJp },
    Alias { "eucjp", kEucJp },
    Alias { "utf-8", kUtf8 },
    Alias { "utf8", kUtf8 },
    Alias { "us-ascii", kUtf8 },
    Alias { "ascii", kUtf8 },
    Alias { "iso-8859-1", "CP1252" },
    Alias { "latin1", "CP1252" },
};

struct Bom {
    std::string_view bytes;
    std::string_view name;
};

constexpr std::array kBoms {
    Bom { "\xEF\xBB\xBF", kUtf8 },
    Bom { "\xFF\xFE", "UTF-16LE" },
    Bom { "\xFE\xFF", "UTF-16BE" },
};

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool iconvKnows(const std::string& name)
{
    const iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv_close(cd);
    return true;
}

// Without a byte-order mark, "UTF-16" is read in the order the first
// character shows ('<' is a zero byte and 0x3C).
std::string_view utf16Order(std::string_view bytes)
{
    return !bytes.empty() && bytes[0] == '\0' ? "UTF-16BE" : "UTF-16LE";
}

// The iconv name for a charset label, or empty when iconv has no such encoding.
std::string normalizedCharset(std::string_view label, std::string_view bytes)
{
    const std::string lower = lowerCase(label);
    if (lower == "utf-16") {
        return std::string(utf16Order(bytes));
    }
    for (const Alias& alias : kAliases) {
        if (alias.alias == lower) {
            return std::string(alias.name);
        }
    }
    return iconvKnows(lower) ? lower : std::string();
}

std::string_view detectedEncoding(std::string_view bytes)
{
    const auto highByte = std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    if (highByte == bytes.end()) {
        return bytes.find("\x1B$") == std::string_view::npos ? kUtf8 : "ISO-2022-JP";
    }
    const kanji::EncodingDetector detector(kanji::SjisTables::instance());
    switch (detector.detect(bytes, static_cast<std::size_t>(highByte - bytes.begin()))) {
    case Encoding::EucJp:
        return kEucJp;
    case Encoding::ShiftJis:
        return kCp932;
    default:
        return kUtf8;
    }
}

// BOM-less UTF-16 shows itself by the zero bytes around the first '<'.
std::string_view bareUtf16(std::string_view bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0') {
        return "UTF-16LE";
    }
    if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] == '<') {
        return "UTF-16BE";
    }
    return {};
}

std::string believable(std::string name, std::string_view bytes)
{
    if (name == kUtf8 && !isValidUtf8(bytes)) {
        return std::string(detectedEncoding(bytes));
    }
    return name;
}

} // namespace

std::string_view declaredEncoding(std::string_view bytes)
{
    if (!bytes.starts_with("<?xml")) {
        return {};
    }
    const std::string_view window = bytes.substr(0, kDeclarationWindow);
    const std::string_view declaration = window.substr(0, window.find("?>"));
    std::size_t pos = declaration.find("encoding");
    if (pos == std::string_view::npos) {
        return {};
    }
    pos = declaration.find_first_not_of(" \t\r\n", pos + 8);
    if (pos == std::string_view::npos || declaration[pos] != '=') {
        return {};
    }
    pos = declaration.find_first_not_of(" \t\r\n", pos + 1);
    if (pos == std::string_view::npos || (declaration[pos] != '"' && declaration[pos] != '\'')) {
        return {};
    }
    const std::size_t end = declaration.find(declaration[pos], pos + 1);
    if (end == std::string_view::npos) {
        return {};
    }
    return declaration.substr(pos + 1, end - pos - 1);
}

EncodingChoice chooseEncoding(std::string_view bytes, std::string_view httpCharset)
{
    for (const Bom& bom : kBoms) {
        if (bytes.starts_with(bom.bytes)) {
            return { std::string(bom.name), bom.bytes.size() };
        }
    }
    if (const std::string_view utf16 = bareUtf16(bytes); !utf16.empty()) {
        return { std::string(utf16) };
    }
    for (const std::string_view label : { httpCharset, declaredEncoding(bytes) }) {
        if (label.empty()) {
            continue;
        }
        if (std::string name = normalizedCharset(label, bytes); !name.empty()) {
            return { believable(std::move(name), bytes) };
        }
    }
    return { std::string(detectedEncoding(bytes)) };
}

} // namespace zr5::script::feed
