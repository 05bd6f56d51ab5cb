// The tray icon and the popup menus: what the user picks arrives as a command
// id once the menu has closed, so that dialogs do not open under it.
#pragma once

#include "ui/popup_menu.h"
#include "ui/skin_catalog.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

namespace zr5::ui {

class TrayMenus final : public QObject {
    Q_OBJECT
public:
    // catalog must outlive this.
    explicit TrayMenus(SkinCatalog& catalog);
    ~TrayMenus() override;

    // Shown even without a tray host: one that starts later still takes the icon.
    void showTray();
    void hideTray() { m_tray.hide(); }
    // Replaces an open menu.
    void popup(PopupKind kind, QPoint globalPos, const MenuChecks& checks, const std::string& skinInUse);
    void closeMenu();
    QMenu* menu() const { return m_menu.get(); }

signals:
    void commandChosen(int command);
    void trayClicked();
    void trayMenuRequested(QPoint globalPos);

private:
    SkinCatalog& m_catalog;
    QSystemTrayIcon m_tray;
    std::unique_ptr<QMenu> m_menu;
};

} // namespace zr5::ui
