// The RSS page: the user's sites by name and URL. Links dropped onto the page
// fill both fields; OPML files bring sites in and take the listed ones out.
// Every change is mirrored on the news scripts page, which owns the new
// records until the sheet ends.
#pragma once

#include "core/patrol_report.h"
#include "core/script_list.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zr5::ui {

class ScriptsPage;

class RssPage final : public QWidget {
    Q_OBJECT

public:
    // report (may be null) gives each site's last patrol result.
    RssPage(const core::ScriptList& scripts, ScriptsPage& scriptsPage, const core::PatrolReport* report,
        QWidget* parent = nullptr);

    // The button that is the default whenever the site fields are not in use.
    void setOkButton(QPushButton* ok) { m_ok = ok; }

    QListWidget* siteList() const { return m_sites; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* urlEdit() const { return m_url; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* applyChangeButton() const { return m_applyChange; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* importButton() const { return m_import; }
    QPushButton* exportButton() const { return m_export; }
    QLabel* note() const { return m_note; }
    QLabel* siteStatusLine() const { return m_siteStatus; }

    // Adds the file's sites not listed yet, checked, in the file's order; the
    // note says which ones the settings file could not hold. The buttons only
    // ask for the file name.
    void importOpml(const QString& path);
    // Writes the sites as listed on the page, unapplied edits included.
    void exportOpml(const QString& path);

    // The scripts page moved two neighbouring sites past each other.
    void swapSites(int first, int second);

signals:
    void changed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    int selectedRow() const;
    void selectionChanged(int row);
    void fieldsEdited();
    void addSite();
    QListWidgetItem* appendSite(const QString& name, const QString& url, bool enabled);
    void applyChange();
    void deleteSite();
    bool fieldsAccepted();
    void chooseImportFile();
    void chooseExportFile();
    void setButtons(bool add, bool change);

    ScriptsPage& m_scriptsPage;
    QPushButton* m_ok = nullptr;
    QListWidget* m_sites;
    QLineEdit* m_name;
    QLineEdit* m_url;
    QPushButton* m_add;
    QPushButton* m_applyChange;
    QPushButton* m_delete;
    QPushButton* m_import;
    QPushButton* m_export;
    QLabel* m_note;
    QLabel* m_siteStatus;
};

} // namespace zr5::ui
