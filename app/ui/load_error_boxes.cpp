#include "ui/load_error_boxes.h"

#include "core/messages.h"
#include "ui/message_box.h"

namespace zr5::ui {
namespace {

std::string joinLines(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += text;
    }
    return joined;
}

} // namespace

LoadErrorBoxes::LoadErrorBoxes(CloseSequence& close)
    : m_close(close)
{
}

void LoadErrorBoxes::loadError(std::string_view text)
{
    m_errors.emplace_back(text);
}

void LoadErrorBoxes::note(std::string text)
{
    m_errors.push_back(std::move(text));
    if (!m_showQueued) {
        m_showQueued = true;
        QMetaObject::invokeMethod(this, &LoadErrorBoxes::show, Qt::QueuedConnection);
    }
}

void LoadErrorBoxes::show()
{
    m_showQueued = false;
    if (m_errors.empty()) {
        return;
    }
    std::string text = joinLines(m_errors);
    m_errors.clear();
    if (m_close.isClosing()) {
        writeMessageLine(core::messages::kLoadErrorCaption, text);
        return;
    }
    CloseSequence::BusyScope busy(m_close);
    showMessageBox(nullptr, core::messages::kLoadErrorCaption, text);
}

} // namespace zr5::ui
