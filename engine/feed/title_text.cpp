#include "feed/title_text.h"

#include "feed/html_entities.h"

namespace zr5::script::feed {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool startsTag(std::string_view text, std::size_t pos)
{
    if (pos + 1 >= text.size()) {
        return false;
    }
    const char next = text[pos + 1];
    return next == '/' || next == '!' || next == '?' || (next >= 'A' && next <= 'Z')
        || (next >= 'a' && next <= 'z');
}

// Tags become a space so that words on either side of <br> stay apart; a
// '<' that opens no tag ("a < b") is text.
std::string withoutTags(std::string_view html)
{
    std::string out;
    out.reserve(html.size());
    std::size_t pos = 0;
    while (pos < html.size()) {
        if (html[pos] == '<' && startsTag(html, pos)) {
            const std::size_t close = html.find('>', pos);
            if (close == std::string_view::npos) {
                break;
            }
            out += ' ';
            pos = close + 1;
        } else {
            out += html[pos++];
        }
    }
    return out;
}

std::string collapsedWhitespace(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    // U+00A0, common in titles written as &nbsp;, separates words like a space.
    constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (isSpace(text[pos]) || text.substr(pos).starts_with(kNoBreakSpace)) {
            pos += isSpace(text[pos]) ? 0 : 1;
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out += text[pos];
    }
    return out;
}

} // namespace

std::string plainTitle(std::string_view text, TitleMarkup markup)
{
    if (markup == TitleMarkup::Html) {
        return collapsedWhitespace(decodeHtmlEntitiesUtf8(withoutTags(text)));
    }
    return collapsedWhitespace(text);
}

} // namespace zr5::script::feed
