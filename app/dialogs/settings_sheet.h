// The settings sheet: news scripts, RSS sites, proxy and display, with OK,
// Cancel and Apply. The script list is changed in place when the sheet is applied.
#pragma once

#include "core/autostart.h"
#include "core/patrol_report.h"
#include "core/script_list.h"
#include "core/settings.h"

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class QPushButton;
class QTabWidget;

namespace zr5::ui {

class DisplayPage;
class ProxyPage;
class RssPage;
class ScriptsPage;

struct SettingsContext {
    core::ScriptList& scripts;
    core::ProxySettings& proxy; // written when the sheet is applied
    std::int32_t& reloadMinutes;
    core::WindowSettings& window; // display options, written when the sheet is applied
    // The last patrol's results shown beside scripts, categories and sites.
    const core::PatrolReport* report = nullptr;
    // The screens the window may go to, as the settings name them.
    std::vector<std::string> screenNames;
    // What the login entry starts, and where that entry is.
    core::AutostartCommand autostart { core::runningProgram(), {} };
    std::filesystem::path autostartEntry = core::autostartEntryPath();
};

class SettingsSheet final : public QDialog {
    Q_OBJECT

public:
    SettingsSheet(QWidget* owner, SettingsContext& context);

    QTabWidget* tabs() const { return m_tabs; }
    ScriptsPage* scriptsPage() const { return m_scriptsPage; }
    RssPage* rssPage() const { return m_rssPage; }
    ProxyPage* proxyPage() const { return m_proxyPage; }
    DisplayPage* displayPage() const { return m_displayPage; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* applyButton() const { return m_apply; }

    // False, with the page shown and its note set, when a page refuses.
    bool apply();
    // 1 once anything was applied (by OK or Apply), otherwise 2.
    int outcome() const { return m_applied ? 1 : 2; }

    void accept() override;
    void reject() override;

private:
    void markChanged();

    SettingsContext& m_context;
    QTabWidget* m_tabs;
    ScriptsPage* m_scriptsPage;
    RssPage* m_rssPage;
    ProxyPage* m_proxyPage;
    DisplayPage* m_displayPage;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
    bool m_applied = false;
};

// 1 = changes saved (the caller starts a patrol),
// 2 = cancelled without any change.
int runSettingsSheet(QWidget* owner, SettingsContext& context);

} // namespace zr5::ui
