// The ticker's popup menus, built in code: menu 0 opens on the window, menu 1
// on the tray icon (it adds "move to the desktop's top left"). Every action
// carries its command id as data (QAction::data().toInt()), so whoever handles
// QMenu::triggered needs nothing else.
#pragma once

#include "ui/skin_catalog.h"

#include <QMenu>
#include <memory>
#include <string>

namespace zr5::ui {

enum Command : int {
    CommandExit = 40001,
    CommandSkin = 40002,
    CommandScrollSpeed = 40003,
    CommandOptions = 40004,
    CommandAbout = 40005,
    CommandAlwaysInFront = 40006,
    CommandAlwaysBehind = 40007,
    CommandPositionLock = 40008,
    CommandMoveTopLeft = 40009,
    CommandHelp = 40010,
};

enum class PopupKind { Window = 0, Tray = 1 };

struct MenuChecks {
    bool alwaysInFront = false;
    bool alwaysBehind = false;
    bool positionLock = false;
};

// The menu resets catalog to its root; the skin submenu and its groups fill
// themselves from catalog when they first open. catalog and skinInUse must
// outlive the menu.
std::unique_ptr<QMenu> buildPopupMenu(
    PopupKind kind, const MenuChecks& checks, SkinCatalog& catalog, const std::string& skinInUse);

// Fills an empty skin (sub)menu for the catalog entry stored in its
// "zr5SkinEntry" property; a menu with items is left alone.
void fillSkinMenu(QMenu& menu, SkinCatalog& catalog, const std::string& skinInUse);

// The action with this command id anywhere in the menu tree, or null.
QAction* findCommand(const QMenu& menu, int command);

} // namespace zr5::ui
