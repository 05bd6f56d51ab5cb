// The settings sheet: news scripts, RSS sites and proxy, with OK, Cancel and
// Apply. The script list is changed in place when the sheet is applied.
#pragma once

#include "core/patrol_report.h"
#include "core/script_list.h"
#include "core/settings.h"

#include <QDialog>
#include <cstdint>

class QPushButton;
class QTabWidget;

namespace zr5::ui {

class ProxyPage;
class RssPage;
class ScriptsPage;

struct SettingsContext {
    core::ScriptList& scripts;
    core::ProxySettings& proxy; // written when the sheet is applied
    std::int32_t& reloadMinutes;
    // The last patrol's results shown beside scripts, categories and sites.
    const core::PatrolReport* report = nullptr;
};

class SettingsSheet final : public QDialog {
    Q_OBJECT

public:
    SettingsSheet(QWidget* owner, SettingsContext& context);

    QTabWidget* tabs() const { return m_tabs; }
    ScriptsPage* scriptsPage() const { return m_scriptsPage; }
    RssPage* rssPage() const { return m_rssPage; }
    ProxyPage* proxyPage() const { return m_proxyPage; }
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
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
    bool m_applied = false;
};

// 1 = changes saved (the caller starts a patrol),
// 2 = cancelled without any change.
int runSettingsSheet(QWidget* owner, SettingsContext& context);

} // namespace zr5::ui
