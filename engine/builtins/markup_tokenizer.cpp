#include "builtins/markup_tokenizer.h"

namespace zr5::script {

namespace {

constexpr std::size_t kNameCompareLength = 64;

bool isQuote(char byte)
{
    return byte == '"' || byte == '\'';
}

std::size_t skipSpace(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && isMarkupSpace(text[pos])) {
        ++pos;
    }
    return pos;
}

// Builds a piece from stretches of the document, each white-space run
// between them written as one space.
class PieceBuilder final {
public:
    PieceBuilder(std::string_view document, std::size_t start)
        : m_document(document)
        , m_start(start)
    {
    }

    // Called at a white-space byte; returns where scanning goes on.
    std::size_t collapseSpace(std::size_t pos)
    {
        flush(pos);
        m_text += ' ';
        m_start = skipSpace(m_document, pos);
        return m_start;
    }

    Piece finish(std::size_t pos)
    {
        flush(pos);
        return { std::move(m_text), pos };
    }

private:
    void flush(std::size_t pos) { m_text.append(m_document.substr(m_start, pos - m_start)); }

    std::string_view m_document;
    std::size_t m_start;
    std::string m_text;
};

Piece readTextRun(std::string_view document, std::size_t pos)
{
    PieceBuilder piece(document, pos);
    while (pos < document.size() && document[pos] != '<') {
        pos = isMarkupSpace(document[pos]) ? piece.collapseSpace(pos) : pos + 1;
    }
    return piece.finish(pos);
}

// After a quote that opens a value: just past its closing twin, or the end.
std::size_t skipQuoted(std::string_view document, std::size_t quotePos)
{
    const auto close = document.find(document[quotePos], quotePos + 1);
    return close == std::string_view::npos ? document.size() : close + 1;
}

Piece readTag(std::string_view document, std::size_t pos)
{
    PieceBuilder piece(document, pos);
    bool afterEquals = false;
    while (pos < document.size()) {
        const char byte = document[pos];
        if (isMarkupSpace(byte)) {
            pos = piece.collapseSpace(pos);
        } else if (byte == '>') {
            return piece.finish(pos + 1);
        } else if (byte == '=') {
            afterEquals = true;
            ++pos;
        } else if (afterEquals) {
            afterEquals = false;
            pos = isQuote(byte) ? skipQuoted(document, pos) : pos + 1;
        } else {
            ++pos;
        }
    }
    return piece.finish(pos);
}

char asciiLower(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// strnicmp over 64 bytes: a zero byte ends a name as the end of the text does.
bool sameName(std::string_view a, std::string_view b)
{
    for (std::size_t i = 0; i < kNameCompareLength; ++i) {
        const char ca = i < a.size() ? a[i] : '\0';
        const char cb = i < b.size() ? b[i] : '\0';
        if (asciiLower(ca) != asciiLower(cb)) {
            return false;
        }
        if (ca == '\0') {
            return true;
        }
    }
    return true;
}

std::size_t findAny(std::string_view text, std::size_t pos, std::string_view stops)
{
    while (
        pos < text.size() && !isMarkupSpace(text[pos]) && stops.find(text[pos]) == std::string_view::npos) {
        ++pos;
    }
    return pos;
}

struct Span {
    std::string_view text;
    std::size_t next;
};

// A value starting at pos: quoted up to the same quote (without one, to the
// end less the last byte), otherwise up to white space or ">".
Span readValue(std::string_view tag, std::size_t pos)
{
    if (!isQuote(tag[pos])) {
        const std::size_t end = findAny(tag, pos, ">");
        return { tag.substr(pos, end - pos), end };
    }
    const std::size_t start = pos + 1;
    const auto close = tag.find(tag[pos], start);
    if (close != std::string_view::npos) {
        return { tag.substr(start, close - start), close + 1 };
    }
    const std::size_t end = tag.size() - 1;
    return { end > start ? tag.substr(start, end - start) : std::string_view(), tag.size() };
}

} // namespace

bool isMarkupSpace(char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

Piece nextPiece(std::string_view document, std::size_t pos)
{
    pos = skipSpace(document, pos);
    if (pos >= document.size()) {
        return { std::string(), pos };
    }
    return document[pos] == '<' ? readTag(document, pos) : readTextRun(document, pos);
}

std::string tagAttribute(std::string_view tag, std::string_view name)
{
    bool valueNext = name.empty();
    bool matched = name.empty();
    std::size_t pos = 1;
    while (pos < tag.size() && tag[pos] != '>') {
        if (isMarkupSpace(tag[pos])) {
            ++pos;
        } else if (tag[pos] == '=') {
            valueNext = true;
            ++pos;
        } else if (valueNext) {
            const Span value = readValue(tag, pos);
            if (matched) {
                return std::string(value.text);
            }
            valueNext = false;
            pos = value.next;
        } else {
            const std::size_t end = findAny(tag, pos, "=>");
            matched = matched || sameName(tag.substr(pos, end - pos), name);
            pos = end;
        }
    }
    return {};
}

} // namespace zr5::script
