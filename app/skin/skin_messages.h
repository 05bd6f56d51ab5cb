// Every text the skin subsystem shows, byte for byte in Shift_JIS (CP932).
// Japanese parts are written as escapes of their CP932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace zr5::skin::msg {

// Message box captions.
inline constexpr std::string_view kCaptionScriptError = "ZR5 skin script error";
inline constexpr std::string_view kCaptionException = "ZR5 exception error";

// ":: 構文エラーです。\n", written once above the collected syntax errors.
inline constexpr std::string_view kSyntaxErrorHeader
    = ":: \x8d\x5c\x95\xb6\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7\x81\x42\n";

inline constexpr std::string_view kUnterminatedString = "Unterminated string";
inline constexpr std::string_view kEofInString = "EOF in string";
inline constexpr std::string_view kEofInComment = "EOF in comment";

inline constexpr std::string_view kParseError = "parse error";
inline constexpr std::string_view kParseErrorUnexpected = "parse error, unexpected ";
inline constexpr std::string_view kExpecting = ", expecting ";
inline constexpr std::string_view kOr = " or ";
inline constexpr std::string_view kParseErrorNoMemory = "parse error; also virtual memory exhausted";
inline constexpr std::string_view kStackOverflow = "parser stack overflow";

// ":: スクリプトファイルが見つかりません。"
inline constexpr std::string_view kScriptNotFound
    = ":: \x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2"
      "\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// ":: window main が定義されていません。"
inline constexpr std::string_view kNoMainWindow
    = ":: window main "
      "\x82\xaa\x92\xe8\x8b\x60\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// Raised by a typed read of a CVariant of another kind.
inline constexpr std::string_view kBadCast = "boost::bad_any_cast: failed conversion using boost::any_cast";

// "Line %d : %s %s : %s\n", one line of the syntax error text.
inline std::string syntaxErrorLine(
    int line, std::string_view kind, std::string_view name, std::string_view text)
{
    std::string out = "Line " + std::to_string(line) + " : ";
    out.append(kind).append(" ").append(name).append(" : ").append(text).append("\n");
    return out;
}

// ": %s %s : file が指定されていません。"
inline std::string fileNotGiven(std::string_view kind, std::string_view name)
{
    std::string out = ": ";
    out.append(kind).append(" ").append(name).append(" : file ");
    out.append("\x82\xaa\x8e\x77\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    return out;
}

// "Line %d : %s %s . file : ファイル %s が開けません。" and the same for "mask".
inline std::string cannotOpen(
    int line, std::string_view kind, std::string_view name, std::string_view property, std::string_view path)
{
    std::string out = "Line " + std::to_string(line) + " : ";
    out.append(kind).append(" ").append(name).append(" . ").append(property).append(" : ");
    out.append("\x83\x74\x83\x40\x83\x43\x83\x8b ").append(path);
    out.append(" \x82\xaa\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    return out;
}

// ": image %s : イメージのアニメーションテーブルのサイズが大きすぎます。\n
//  （forによる無限ループになっている可能性があります。）"
inline std::string animationTableTooLarge(std::string_view name)
{
    std::string out = ": image ";
    out.append(name).append(" : ");
    out.append(
        "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xcc\x83\x41\x83\x6a\x83\x81\x81\x5b\x83\x56\x83\x87\x83\x93"
        "\x83\x65\x81\x5b\x83\x75\x83\x8b\x82\xcc\x83\x54\x83\x43\x83\x59\x82\xaa\x91\xe5\x82\xab\x82\xb7"
        "\x82\xac\x82\xdc\x82\xb7\x81\x42\n");
    out.append(
        "\x81\x69"
        "for"
        "\x82\xc9\x82\xe6\x82\xe9\x96\xb3\x8c\xc0\x83\x8b\x81\x5b\x83\x76\x82\xc9\x82\xc8\x82\xc1\x82\xc4"
        "\x82\xa2\x82\xe9\x89\xc2\x94\x5c\x90\xab\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81\x42\x81\x6a");
    return out;
}

// "Line %d : %s %s . %s : リストの要素が多すぎます。": a list statement would
// create more numbered properties than a load allows.
inline std::string listTooLong(
    int line, std::string_view kind, std::string_view name, std::string_view property)
{
    std::string out = "Line " + std::to_string(line) + " : ";
    out.append(kind).append(" ").append(name).append(" . ").append(property).append(" : ");
    out.append(
        "\x83\x8a\x83\x58\x83\x67\x82\xcc\x97\x76\x91\x66\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7"
        "\x81\x42");
    return out;
}

} // namespace zr5::skin::msg
