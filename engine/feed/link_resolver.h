// Choosing and completing the links a feed gives.
#pragma once

#include <string>
#include <string_view>

namespace zr5::script::feed {

// link (trimmed) made absolute against base (an absolute URL or empty).
// A link the URL grammar refuses even after escaping stays as written.
std::string resolveLink(std::string_view link, std::string_view base);

// Whether an Atom link relation names the entry's own page: none given,
// "alternate", or its IANA URI form.
bool isAlternateRelation(std::string_view rel);

} // namespace zr5::script::feed
