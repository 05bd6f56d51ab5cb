#include "lang/messages.h"
#include "lang/parse_context.h"

#include <cstdio>

namespace zr5::script {

void reportError(const ParseContext& context, const char* message)
{
    std::printf(messages::kErrorLineFormat, context.line, message);
}

} // namespace zr5::script
