// The ticker's place among the screens: free, or docked along the top or
// bottom edge of a screen's available area. Keeps the free rectangle for
// undocking and saving, follows screens that change or go away, and knows
// the screen the window is on by name.
#pragma once

#include "core/settings.h"
#include "ui/screen_placement.h"
#include "ui/ticker_window.h"

#include <QObject>
#include <QRect>
#include <string>
#include <vector>

class QScreen;

namespace zr5::ui {

class WindowDocking final : public QObject {
    Q_OBJECT
public:
    // window must outlive this.
    explicit WindowDocking(TickerWindow& window);

    // At start, once the skin has placed the window: onto the saved screen
    // when it still exists (else the window stays on the nearest), then
    // docked as saved.
    void restore(const std::string& screenName, core::WindowDock dock);
    // Values other than top and bottom mean free.
    void setDock(core::WindowDock dock);
    // An unknown name changes nothing.
    void moveToScreen(const std::string& name);
    // A new skin has sized the window in place: a docked one keeps to its
    // edge with the skin's height, and undocks to the skin's size.
    void skinApplied();
    // Qt writes the window type anew when the window's flags change (and
    // then puts the normal type first): call after each such change.
    void refreshHints();

    // What the user chose; the window may still be free when no screen can
    // take it.
    core::WindowDock dock() const { return m_dock; }
    bool docked() const { return m_window.isDocked(); }
    // The window's rectangle when free; while docked, the one undocking restores.
    const QRect& freeRect() const { return m_free; }
    const std::string& screenName() const { return m_screen; }

private:
    void watchScreen(QScreen* screen);
    void followWindow(const QRect& rect);
    void followScreens();
    void apply();
    void dockAt(const QRect& strip);
    void undock();
    // Hides the window around a change of its type when it is shown.
    template <typename Change> void remapping(bool typeChanges, Change change);
    std::vector<ScreenArea> screens() const;

    TickerWindow& m_window;
    core::WindowDock m_dock = core::DockFree;
    QRect m_free;
    QRect m_strip; // where the window is docked (empty while free)
    core::WindowDock m_stripEdge = core::DockFree;
    std::string m_screen;
    bool m_applying = false;
};

} // namespace zr5::ui
