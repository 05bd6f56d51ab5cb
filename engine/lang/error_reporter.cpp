#include "lang/messages.h"
#include "lang/parse_context.h"

#include <cstdio>

namespace zr5::script {

void reportError(ParseContext& context, const char* message)
{
    const int length = std::snprintf(nullptr, 0, messages::kErrorLineFormat, context.line, message);
    std::string line(static_cast<std::size_t>(length), '\0');
    std::snprintf(line.data(), line.size() + 1, messages::kErrorLineFormat, context.line, message);
    std::fputs(line.c_str(), stdout);
    context.errorLines += line;
}

} // namespace zr5::script
