#include "ui/tray_menus.h"

#include "dialogs/qt_text.h"
#include "ui/ui_messages.h"

#include <QApplication>
#include <QCursor>
#include <cstdio>

namespace zr5::ui {

TrayMenus::TrayMenus(SkinCatalog& catalog)
    : m_catalog(catalog)
{
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            emit trayClicked();
        } else if (reason == QSystemTrayIcon::Context) {
            emit trayMenuRequested(QCursor::pos());
        }
    });
}

TrayMenus::~TrayMenus() = default;

void TrayMenus::showTray()
{
    m_tray.setIcon(QApplication::windowIcon());
    m_tray.setToolTip(toQString(msg::kTrayTip));
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fwrite(msg::kTrayUnavailable.data(), 1, msg::kTrayUnavailable.size(), stderr);
        std::fflush(stderr);
    }
    m_tray.show();
}

void TrayMenus::popup(
    PopupKind kind, QPoint globalPos, const MenuChecks& checks, const std::string& skinInUse)
{
    closeMenu();
    m_menu = buildPopupMenu(kind, checks, m_catalog, skinInUse);
    connect(m_menu.get(), &QMenu::triggered, this, [this](QAction* action) {
        int command = action->data().toInt();
        QMetaObject::invokeMethod(
            this, [this, command] { emit commandChosen(command); }, Qt::QueuedConnection);
    });
    m_menu->popup(globalPos);
}

void TrayMenus::closeMenu()
{
    if (m_menu) {
        m_menu->close();
    }
}

} // namespace zr5::ui
