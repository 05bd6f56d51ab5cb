#include "ui/compositor_watch.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace zr5::ui {
namespace {

constexpr int kPollMs = 1000;
constexpr char kSelection[] = "_NET_WM_CM_S0";

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

CompositorWatch::CompositorWatch(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &CompositorWatch::poll);
}

void CompositorWatch::start()
{
    m_composited = query();
    if (x11Connection()) {
        m_timer.start();
    }
}

void CompositorWatch::poll()
{
    bool now = query();
    if (now != m_composited) {
        m_composited = now;
        emit changed(now);
    }
}

bool CompositorWatch::query()
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || xcb_connection_has_error(connection)) {
        return true;
    }
    if (m_atom == 0) {
        xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, sizeof kSelection - 1, kSelection);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        if (!reply) {
            return true;
        }
        m_atom = reply->atom;
    }
    xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(connection, m_atom);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, cookie, nullptr), &std::free);
    return reply && reply->owner != XCB_NONE;
}

} // namespace zr5::ui
