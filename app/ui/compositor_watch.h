// Whether the desktop composites translucent windows. Without a compositing
// manager on X11 (nobody owns _NET_WM_CM_S0) transparent pixels would show
// black, so the window falls back to a shaped outline; the watch polls, so
// the window follows a compositor that starts or stops later.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

namespace zr5::ui {

class CompositorWatch final : public QObject {
    Q_OBJECT
public:
    explicit CompositorWatch(QObject* parent = nullptr);

    // Other platforms than X11 are taken as composited.
    bool composited() const { return m_composited; }
    // Checks at once; then once a second.
    void start();

signals:
    void changed(bool composited);

private:
    void poll();
    bool query();

    QTimer m_timer;
    bool m_composited = true;
    std::uint32_t m_atom = 0;
};

} // namespace zr5::ui
