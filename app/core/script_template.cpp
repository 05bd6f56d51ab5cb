#include "core/script_template.h"

#include <cstdio>

namespace zr5::core {
namespace {

constexpr std::string_view kHead
    = "/******************************************************************************\n"
      "* Zephyrant2 : Feedlet for RSS generated automatically.\n"
      "******************************************************************************/\n"
      "\n"
      "category \"RSS\"\n"
      "{\n"
      "\tvar url = \"";

constexpr std::string_view kRssTail
    = "\";\n\t\n\tvar title;\n\tvar link;\n\tvar tag;\n\tvar buf;\n\tvar flagItem = false;\n"
      "\tvar flagTitle = false;\n\tvar flagLink = false;\n\t\n\tvar doc = new Document();\n"
      "\tdoc.open(url);\n\t\n\twhile ( buf = doc.get() )\n\t{\n\t\tif ( !flagItem )\n\t\t{\n"
      "\t\t\tif ( buf.isTag() )\n\t\t\t{\n\t\t\t\ttag = buf.getAttr(\"\");\n\t\t\t\t\n"
      "\t\t\t\tif ( tag == \"item\" ) {\n\t\t\t\t\ttitle = \"\";\n\t\t\t\t\tlink = \"\";\n"
      "\t\t\t\t\tflagItem = true;\n\t\t\t\t}\n\t\t\t}\n\t\t}\n\t\telse\n\t\t{\n"
      "\t\t\tif ( buf.isTag() )\n\t\t\t{\n\t\t\t\ttag = buf.getAttr(\"\");\n\t\t\t\t\n"
      "\t\t\t\tif ( tag == \"title\" ) {\n\t\t\t\t\tflagTitle = true;\n\t\t\t\t}\n"
      "\t\t\t\telse if ( tag == \"link\" ) {\n\t\t\t\t\tflagLink = true;\n\t\t\t\t}\n"
      "\t\t\t\telse if ( tag == \"/title\" ) {\n\t\t\t\t\tflagTitle = false;\n\t\t\t\t}\n"
      "\t\t\t\telse if ( tag == \"/link\" ) {\n\t\t\t\t\tflagLink = false;\n\t\t\t\t}\n"
      "\t\t\t\telse if ( tag == \"/item\" ) {\n\t\t\t\t\tDisplay(title, link);\n"
      "\t\t\t\t\tflagItem = false;\n\t\t\t\t}\n\t\t\t}\n\t\t\telse if ( flagTitle )\n\t\t\t{\n"
      "\t\t\t\ttitle += buf;\n\t\t\t}\n\t\t\telse if ( flagLink )\n\t\t\t{\n\t\t\t\tlink += buf;\n"
      "\t\t\t}\n\t\t}\n\t}\n}\n";

constexpr std::string_view kNoticeTail
    = "\";\n\t\n\tvar title;\n\tvar link;\n\tvar tag;\n\tvar buf;\n\tvar flagLink = false;\n"
      "\t\n\tvar doc = new Document();\n\tdoc.open(url);\n\t\n\twhile ( buf = doc.get() )\n\t{\n"
      "\t\tif ( flagLink )\n\t\t{\n\t\t\tif ( buf.isTag() )\n\t\t\t{\n"
      "\t\t\t\ttag = buf.getAttr(\"\");\n\t\t\t\t\n\t\t\t\tif ( tag == \"/a\" ) {\n"
      "\t\t\t\t\tDisplay(title, link);\n\t\t\t\t\tflagLink = false;\n\t\t\t\t}\n\t\t\t}\n"
      "\t\t\telse\n\t\t\t{\n\t\t\t\ttitle += buf;\n\t\t\t}\n\t\t}\n\t\telse\n\t\t{\n"
      "\t\t\tif ( buf.isTag() )\n\t\t\t{\n\t\t\t\ttag = buf.getAttr(\"\");\n\t\t\t\t\n"
      "\t\t\t\tif ( tag == \"a\" ) {\n\t\t\t\t\ttitle = \"\";\n"
      "\t\t\t\t\tlink = buf.getAttr(\"href\");\n\t\t\t\t\tflagLink = true;\n\t\t\t\t}\n"
      "\t\t\t}\n\t\t}\n\t}\n}\n";

bool isLeadByte(unsigned char c)
{
    return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}
bool isTrailByte(unsigned char c)
{
    return c >= 0x40;
}

std::string hexEscape(unsigned char c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
    return buffer;
}

} // namespace

std::string escapeStringLiteral(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            out += text.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F || isLeadByte(c)) {
            out += hexEscape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string generateScript(ScriptTemplate kind, std::string_view url)
{
    std::string script(kHead);
    script += escapeStringLiteral(url);
    script += kind == ScriptTemplate::RssSite ? kRssTail : kNoticeTail;
    return script;
}

} // namespace zr5::core
