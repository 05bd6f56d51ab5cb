#include "ui/popup_menu.h"

#include "dialogs/qt_text.h"
#include "ui/ui_messages.h"

namespace zr5::ui {
namespace {

constexpr const char* kEntryProperty = "zr5SkinEntry";

QAction* addCommand(QMenu& menu, std::string_view text, int command)
{
    QAction* action = menu.addAction(toQString(text));
    action->setData(command);
    return action;
}

QAction* addCheckable(QMenu& menu, std::string_view text, int command, bool checked)
{
    QAction* action = addCommand(menu, text, command);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QMenu* addSkinSubmenu(QMenu& parent, const QString& title, std::size_t entry, SkinCatalog& catalog,
    const std::string& skinInUse)
{
    QMenu* submenu = parent.addMenu(title);
    submenu->setProperty(kEntryProperty, static_cast<qulonglong>(entry));
    QObject::connect(submenu, &QMenu::aboutToShow, submenu,
        [submenu, &catalog, &skinInUse] { fillSkinMenu(*submenu, catalog, skinInUse); });
    return submenu;
}

} // namespace

void fillSkinMenu(QMenu& menu, SkinCatalog& catalog, const std::string& skinInUse)
{
    if (!menu.actions().isEmpty()) {
        return;
    }
    auto entry = static_cast<std::size_t>(menu.property(kEntryProperty).toULongLong());
    for (const SkinMenuItem& item : catalog.listLevel(entry, skinInUse)) {
        QAction* action = nullptr;
        if (item.kind == SkinItemKind::Group) {
            action = addSkinSubmenu(menu, toQString(item.text), item.groupEntry, catalog, skinInUse)
                         ->menuAction();
        } else {
            action = addCommand(menu, item.text, item.command);
            action->setEnabled(item.kind == SkinItemKind::Skin);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
        }
        action->setData(item.command);
    }
}

std::unique_ptr<QMenu> buildPopupMenu(
    PopupKind kind, const MenuChecks& checks, SkinCatalog& catalog, const std::string& skinInUse)
{
    catalog.reset();
    auto menu = std::make_unique<QMenu>();
    addCommand(*menu, msg::kMenuOptions, CommandOptions);
    addCommand(*menu, msg::kMenuScroll, CommandScrollSpeed);
    QMenu* skins = addSkinSubmenu(*menu, toQString(msg::kMenuSkin), 0, catalog, skinInUse);
    skins->menuAction()->setData(static_cast<int>(CommandSkin));
    menu->addSeparator();
    addCheckable(*menu, msg::kMenuFront, CommandAlwaysInFront, checks.alwaysInFront);
    addCheckable(*menu, msg::kMenuBehind, CommandAlwaysBehind, checks.alwaysBehind);
    addCheckable(*menu, msg::kMenuLock, CommandPositionLock, checks.positionLock);
    if (kind == PopupKind::Tray) {
        addCommand(*menu, msg::kMenuMoveTopLeft, CommandMoveTopLeft);
    }
    menu->addSeparator();
    addCommand(*menu, msg::kMenuHelp, CommandHelp);
    addCommand(*menu, msg::kMenuAbout, CommandAbout);
    addCommand(*menu, msg::kMenuExit, CommandExit);
    return menu;
}

QAction* findCommand(const QMenu& menu, int command)
{
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->data().toInt() == command) {
            return action;
        }
        if (QMenu* submenu = action->menu()) {
            if (QAction* found = findCommand(*submenu, command)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace zr5::ui
