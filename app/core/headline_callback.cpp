#include "core/headline_callback.h"

namespace zr5::core {
namespace {

const char* text(const char* maybe)
{
    return maybe ? maybe : "";
}

} // namespace

void writePatrolLog(
    std::FILE* log, std::string_view a, std::string_view b, std::string_view c, std::string_view d)
{
    if (!log) {
        return;
    }
    for (std::string_view part : { a, b, c, d }) {
        if (!part.empty()) {
            std::fwrite(part.data(), 1, part.size(), log);
        }
    }
    std::fputc('\n', log);
    // Whoever watches a stuck patrol sees how far it got.
    std::fflush(log);
}

void headlineCallback(const DisplayRecord* record, void* userData)
{
    auto* context = static_cast<DisplayContext*>(userData);
    if (!record || !context) {
        return;
    }
    if (record->kind == ZR5S_KIND_HEADLINE) {
        context->list->append(text(record->text1), text(record->text2));
        writePatrolLog(context->log, text(record->text1), " [", text(record->text2), "]");
    } else if (record->kind == ZR5S_KIND_NOTIFY && context->host) {
        context->host->notification(text(record->text1), text(record->text2));
    }
}

} // namespace zr5::core
