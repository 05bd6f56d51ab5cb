// Which encoding a fetched feed is in, decided as an XML reader must, with
// the converter's detection where the document says nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr5::script::feed {

struct EncodingChoice {
    std::string name; // an iconv name libxml2 understands
    std::size_t bomLength = 0; // bytes of byte-order mark to skip
};

// The byte-order mark first, then the HTTP charset, then the XML
// declaration, then detection. A UTF-8 claim the bytes break is not believed.
EncodingChoice chooseEncoding(std::string_view bytes, std::string_view httpCharset);

// The encoding named in an XML declaration at the start of bytes, or empty.
std::string_view declaredEncoding(std::string_view bytes);

} // namespace zr5::script::feed
