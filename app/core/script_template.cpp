#include "core/script_template.h"

#include <cstdio>

namespace zr5::core {
namespace {

// The generated scripts, as a script author would write them. Each tail
// follows the site's address in the head's string literal.
constexpr std::string_view kHead
    = R"zrs(/******************************************************************************
* Zephyrant2 : Feedlet for RSS generated automatically.
******************************************************************************/

category "RSS"
{
	var url = ")zrs";

// The feed reader knows RSS and Atom; a document that is no feed gives no
// items, which the patrol reports as such.
constexpr std::string_view kRssTail = R"zrs(";
	
	var feed = new Feed();
	var items;
	var count;
	var item;
	var i;
	
	feed.open(url);
	items = feed.items;
	count = items.length;
	
	for ( i = 0; i < count; i++ )
	{
		item = items[i];
		Display(item.title, item.link);
	}
}
)zrs";

constexpr std::string_view kNoticeTail = R"zrs(";
	
	var title;
	var link;
	var tag;
	var buf;
	var flagLink = false;
	
	var doc = new Document();
	doc.open(url);
	
	while ( buf = doc.get() )
	{
		if ( flagLink )
		{
			if ( buf.isTag() )
			{
				tag = buf.getAttr("");
				
				if ( tag == "/a" ) {
					Display(title, link);
					flagLink = false;
				}
			}
			else
			{
				title += buf;
			}
		}
		else
		{
			if ( buf.isTag() )
			{
				tag = buf.getAttr("");
				
				if ( tag == "a" ) {
					title = "";
					link = buf.getAttr("href");
					flagLink = true;
				}
			}
		}
	}
}
)zrs";

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
