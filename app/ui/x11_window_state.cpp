#include "ui/x11_window_state.h"

#include "ui/screen_placement.h"

#include <QGuiApplication>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace zr5::ui {
namespace {

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    return connection && !xcb_connection_has_error(connection) ? connection : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<xcb_atom_t> readAtoms(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property)
{
    xcb_get_property_cookie_t cookie
        = xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return { atoms, atoms + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t) };
}

// The root window's rectangle; struts are measured from its edges.
QRect rootRect(xcb_connection_t* connection, xcb_window_t window)
{
    ReplyPtr<xcb_get_geometry_reply_t> own(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    if (!own) {
        return {};
    }
    ReplyPtr<xcb_get_geometry_reply_t> root(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, own->root), nullptr), &std::free);
    return root ? QRect(0, 0, root->width, root->height) : QRect();
}

// Qt's coordinates are device independent; X counts device pixels.
QRect toDevicePixels(const QRect& rect, qreal ratio)
{
    auto scaled = [ratio](int value) { return static_cast<int>(std::lround(value * ratio)); };
    return { scaled(rect.x()), scaled(rect.y()), scaled(rect.width()), scaled(rect.height()) };
}

void setWindowType(xcb_connection_t* connection, xcb_window_t window, bool dock)
{
    const xcb_atom_t type = internAtom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dockType = internAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t normalType = internAtom(connection, "_NET_WM_WINDOW_TYPE_NORMAL");
    if (type == XCB_ATOM_NONE || dockType == XCB_ATOM_NONE || normalType == XCB_ATOM_NONE) {
        return;
    }
    // Qt's own types stay behind the dock type, ready for when it goes; the
    // normal type, Qt's fallback, stays last, where Qt puts it.
    std::vector<xcb_atom_t> types = readAtoms(connection, window, type);
    std::erase(types, dockType);
    std::erase(types, normalType);
    if (dock) {
        types.insert(types.begin(), dockType);
    }
    if (!types.empty()) {
        types.push_back(normalType);
    }
    if (types.empty()) {
        xcb_delete_property(connection, window, type);
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32,
        static_cast<std::uint32_t>(types.size()), types.data());
}

void setStrut(xcb_connection_t* connection, xcb_window_t window, const StrutPartial* strut)
{
    const xcb_atom_t partial = internAtom(connection, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t plain = internAtom(connection, "_NET_WM_STRUT");
    if (partial == XCB_ATOM_NONE || plain == XCB_ATOM_NONE) {
        return;
    }
    if (!strut) {
        xcb_delete_property(connection, window, partial);
        xcb_delete_property(connection, window, plain);
        return;
    }
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, partial, XCB_ATOM_CARDINAL, 32, 12, strut->data());
    // Older window managers know only the first four values.
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, plain, XCB_ATOM_CARDINAL, 32, 4, strut->data());
}

} // namespace

void markSkipTaskbar(QWidget& window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        return;
    }
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip[] = { internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
        internAtom(connection, "_NET_WM_STATE_SKIP_PAGER") };
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE) {
        return;
    }
    // An unmapped window takes its initial state from the property; Qt keeps
    // atoms it does not manage when it adds its own at mapping time.
    auto id = static_cast<xcb_window_t>(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 2, skip);
    xcb_flush(connection);
}

void setDockHints(QWidget& window, core::WindowDock dock, const QRect& strip)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        return;
    }
    auto id = static_cast<xcb_window_t>(window.winId());
    const bool docked = dock != core::DockFree;
    setWindowType(connection, id, docked);
    if (docked) {
        const StrutPartial strut
            = strutPartial(dock, toDevicePixels(strip, window.devicePixelRatioF()), rootRect(connection, id));
        setStrut(connection, id, &strut);
    } else {
        setStrut(connection, id, nullptr);
    }
    xcb_flush(connection);
}

} // namespace zr5::ui
