// The news-script scanner over one script text held in memory.
#pragma once

#include "lang/parse_context.h"

#include <string_view>

namespace zr5::script {

// Bytes 0x80-0xFF outside strings and comments are no part of the language;
// they reach the grammar as this code, which it does not know ("$undefined."),
// so the statement is reported and skipped instead of ending the script.
inline constexpr int kUnknownByteToken = 0x80;

class Scanner final {
public:
    // The source must outlive the scanner (flex copies it, but the line count
    // and string buffer live in the context).
    Scanner(ParseContext& context, std::string_view source);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

private:
    void* m_state = nullptr;
};

int scanToken(TokenValue& value, void* scanner);

} // namespace zr5::script
