// The news scripts page: which scripts, sites and categories the patrol runs,
// in which order, and how often. The page also holds the site records the RSS
// page creates until the sheet is applied or cancelled.
#pragma once

#include "core/patrol_report.h"
#include "core/script_list.h"

#include <QWidget>
#include <cstdint>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr5::ui {

class CheckList;

class ScriptsPage final : public QWidget {
    Q_OBJECT

public:
    // report (may be null) must outlive the page.
    ScriptsPage(core::ScriptList& scripts, std::int32_t& reloadMinutes, const core::PatrolReport* report,
        QWidget* parent = nullptr);
    ~ScriptsPage() override;

    CheckList* scriptList() const { return m_scripts; }
    CheckList* categoryList() const { return m_categories; }
    QLineEdit* interval() const { return m_interval; }
    QPushButton* upButton() const { return m_up; }
    QPushButton* downButton() const { return m_down; }
    QGroupBox* authGroup() const { return m_auth; }
    // The current row's last patrol result, under each list.
    QLabel* scriptStatusLine() const { return m_scriptStatus; }
    QLabel* categoryStatusLine() const { return m_categoryStatus; }
    core::ScriptRecord* recordAt(int row) const;
    std::size_t pendingAdditions() const { return m_added.size(); }

    // Site edits of the RSS page; siteIndex counts site rows only.
    void appendSite(core::ScriptRecordPtr site);
    void replaceSite(int siteIndex, core::ScriptRecordPtr site);
    void removeSite(int siteIndex);

    // Puts the page's list, checks and interval into the script list and
    // frees the records that left it.
    void apply();
    // Frees the records added since the last apply; the script list stays.
    void discard();

signals:
    void changed();
    // Two neighbouring sites changed places (site indices).
    void sitesSwapped(int first, int second);

private:
    void buildLayout();
    void fill();
    void showCategories(int row);
    void categoryToggled(int row);
    void scriptToggled();
    void moveCurrent(int step);
    int siteRow(int siteIndex) const;
    int siteIndexOf(int row) const;

    core::ScriptList& m_list;
    std::int32_t& m_reloadMinutes;
    const core::PatrolReport* m_report;
    std::vector<core::ScriptRecordPtr> m_added;
    CheckList* m_scripts;
    CheckList* m_categories;
    QLineEdit* m_interval;
    QPushButton* m_up;
    QPushButton* m_down;
    QGroupBox* m_auth;
    QLabel* m_scriptStatus;
    QLabel* m_categoryStatus;
};

} // namespace zr5::ui
