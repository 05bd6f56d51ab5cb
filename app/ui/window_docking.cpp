#include "ui/window_docking.h"

#include "ui/window_rules.h"
#include "ui/x11_window_state.h"

#include <QGuiApplication>
#include <QScreen>
#include <utility>

namespace zr5::ui {
namespace {

core::WindowDock knownDock(core::WindowDock dock)
{
    return dock == core::DockTop || dock == core::DockBottom ? dock : core::DockFree;
}

} // namespace

WindowDocking::WindowDocking(TickerWindow& window)
    : m_window(window)
    , m_free(window.geometry())
{
    connect(&m_window, &TickerWindow::placed, this, &WindowDocking::followWindow);
    for (QScreen* screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        followScreens();
    });
    // Queued: while the signal is delivered the screen is still in the list.
    connect(
        qGuiApp, &QGuiApplication::screenRemoved, this, &WindowDocking::followScreens, Qt::QueuedConnection);
}

void WindowDocking::watchScreen(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &WindowDocking::followScreens);
    connect(screen, &QScreen::availableGeometryChanged, this, &WindowDocking::followScreens);
}

void WindowDocking::restore(const std::string& screenName, core::WindowDock dock)
{
    m_free = m_window.geometry();
    std::vector<ScreenArea> areas = screens();
    int index = chooseScreen(areas, screenName, m_free);
    if (index >= 0) {
        const QRect& area = areas[index].available;
        if (!area.intersects(m_free)) {
            m_window.setGeometry(keepInside(m_free, area));
            m_free = m_window.geometry();
        }
        m_screen = areas[index].name;
    }
    setDock(dock);
}

void WindowDocking::setDock(core::WindowDock dock)
{
    m_dock = knownDock(dock);
    apply();
}

void WindowDocking::moveToScreen(const std::string& name)
{
    std::vector<ScreenArea> areas = screens();
    int target = chooseScreen(areas, name, m_free);
    if (target < 0 || areas[target].name != name) {
        return;
    }
    int current = chooseScreen(areas, m_screen, m_free);
    // The window keeps its place relative to the screen's corner.
    QPoint offset = current >= 0 ? m_free.topLeft() - areas[current].available.topLeft() : QPoint();
    m_free = keepInside(
        QRect(areas[target].available.topLeft() + offset, m_free.size()), areas[target].available);
    m_screen = name;
    if (m_dock != core::DockFree) {
        apply();
    } else {
        m_window.setGeometry(m_free);
    }
}

void WindowDocking::skinApplied()
{
    if (!docked()) {
        return;
    }
    m_free.setSize(m_window.size());
    apply();
}

void WindowDocking::refreshHints()
{
    if (docked()) {
        setDockHints(m_window, m_stripEdge, m_strip);
    }
}

void WindowDocking::followWindow(const QRect& rect)
{
    if (m_applying || docked()) {
        return;
    }
    m_free = rect;
    std::vector<ScreenArea> areas = screens();
    if (int index = chooseScreen(areas, {}, rect); index >= 0) {
        m_screen = areas[index].name;
    }
}

void WindowDocking::followScreens()
{
    if (m_dock != core::DockFree) {
        apply();
        return;
    }
    QRect placed = placeOnScreens(m_free, m_free.size());
    if (placed != m_free) {
        m_window.setGeometry(placed);
    }
}

void WindowDocking::apply()
{
    std::vector<ScreenArea> areas = screens();
    const QRect& near = docked() ? m_strip : m_free;
    int index = chooseScreen(areas, m_screen, near);
    std::optional<QRect> strip
        = index >= 0 ? dockedRect(m_dock, areas[index].available, m_free.height()) : std::nullopt;
    if (!strip) {
        undock();
        return;
    }
    m_screen = areas[index].name;
    // A skin switch resizes the window in place: compare with where it is.
    if (!docked() || *strip != m_window.geometry() || m_dock != m_stripEdge) {
        dockAt(*strip);
    }
}

void WindowDocking::dockAt(const QRect& strip)
{
    remapping(!docked(), [&] {
        m_window.setDocked(true);
        m_window.setGeometry(strip);
        m_strip = strip;
        m_stripEdge = m_dock;
        setDockHints(m_window, m_dock, strip);
    });
}

void WindowDocking::undock()
{
    if (!docked()) {
        return;
    }
    remapping(true, [&] {
        m_window.setDocked(false);
        m_strip = QRect();
        m_stripEdge = core::DockFree;
        setDockHints(m_window, core::DockFree, {});
        m_window.setGeometry(placeOnScreens(m_free, m_free.size()));
    });
    m_free = m_window.geometry();
}

template <typename Change> void WindowDocking::remapping(bool typeChanges, Change change)
{
    m_applying = true;
    const bool remap = typeChanges && m_window.isVisible();
    if (remap) {
        m_window.hide();
    }
    change();
    if (remap) {
        m_window.show();
    }
    m_applying = false;
}

std::vector<ScreenArea> WindowDocking::screens() const
{
    std::vector<ScreenArea> areas;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect available = screen->availableGeometry();
        if (docked()) {
            available = withoutOwnStrip(available, m_stripEdge, m_strip);
        }
        areas.push_back({ screen->name().toStdString(), available });
    }
    return areas;
}

} // namespace zr5::ui
