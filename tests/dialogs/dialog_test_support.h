// What the dialog tests share: a script list read from real files, the sheet
// on top of it, and small ways to look at the widgets.
#pragma once

#include "core/settings.h"
#include "core_test_support.h"
#include "dialogs/settings_sheet.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

namespace zr5::ui::test {

class NullErrors final : public core::LoadErrorSink {
public:
    void loadError(std::string_view text) override { errors.emplace_back(text); }
    std::vector<std::string> errors;
};

// Scripts a.zrs (categories Top, World) and b.zrs (Sports) on disk, and a
// zr5.ini that orders them with two sites:
//   a.zrs (on, Top) | One (on) | b.zrs (off) | Two (off)
class SheetTest : public ::testing::Test {
protected:
    SheetTest();
    ~SheetTest() override;

    SettingsSheet& openSheet();
    // "name*" or "name." for each record of the list, in order.
    std::vector<std::string> listNames() const;
    std::vector<std::string> rssNames() const;
    std::vector<std::string> scriptRows() const;
    // Writes the list and settings to a zr5.ini in the scratch folder and
    // reads them back into a freshly enumerated list.
    core::ScriptList roundTrip(core::Settings& settings);

    core::test::ScratchFolder m_folder;
    NullErrors m_errors;
    core::ScriptList m_list;
    core::ProxySettings m_proxy;
    std::int32_t m_reload = 30;
    core::WindowSettings m_window;
    // The login entry and the program it starts live in the scratch folder.
    SettingsContext m_context { m_list, m_proxy, m_reload, m_window, nullptr, { "DP-1", "HDMI-1" },
        { m_folder / "bin" / "zr5a", {} }, m_folder / "config" / "autostart" / "zr5a.desktop" };
    std::unique_ptr<SettingsSheet> m_sheet;
};

std::vector<std::string> rowTexts(const QListWidget& list);
// A press (or double click) on a list row at x pixels from its left edge.
void clickRow(QListWidget& list, int row, int x);
void doubleClickRow(QListWidget& list, int row, int x);
QImage grab(QWidget& widget);

} // namespace zr5::ui::test
