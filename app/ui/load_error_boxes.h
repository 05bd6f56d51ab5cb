// Script load errors, gathered so that several arrive in one box, not a box
// each. During a close they go to standard error only.
#pragma once

#include "core/script_list.h"
#include "ui/close_sequence.h"

#include <QObject>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::ui {

class LoadErrorBoxes final : public QObject, public core::LoadErrorSink {
    Q_OBJECT
public:
    // close must outlive this.
    explicit LoadErrorBoxes(CloseSequence& close);

    // Gathers without showing: start-up shows its errors itself.
    void loadError(std::string_view text) override;
    // Gathers, and shows from the event loop.
    void note(std::string text);
    // Shows what has gathered, if anything. Errors arriving while the box is
    // open gather for the next one.
    void show();

private:
    CloseSequence& m_close;
    std::vector<std::string> m_errors;
    bool m_showQueued = false;
};

} // namespace zr5::ui
