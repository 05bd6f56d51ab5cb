#include "dialogs/scripts_page.h"

#include "dialogs/check_list.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/field_label.h"
#include "dialogs/patrol_status.h"
#include "dialogs/qt_text.h"
#include "dialogs/site_input.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

namespace zr5::ui {
namespace {

// A row of the script list: the record and the page's own copy of its
// checks, which reach the record only at apply.
class ScriptItem final : public QListWidgetItem {
public:
    ScriptItem(core::ScriptRecord& record, const core::PatrolReport* report)
        : QListWidgetItem(toQString(record.name))
        , m_record(&record)
    {
        CheckList::setChecked(this, record.enabled);
        CheckList::setSite(this, record.isSite());
        showStatus(*this, recordStatus(report, record));
        for (const core::Category& category : record.categories) {
            categoryChecks.push_back(category.checked);
        }
    }

    core::ScriptRecord* record() const { return m_record; }
    std::vector<bool> categoryChecks;

private:
    core::ScriptRecord* m_record;
};

ScriptItem* scriptItem(QListWidgetItem* item)
{
    return static_cast<ScriptItem*>(item);
}

void applyItem(const ScriptItem& item, core::ScriptRecord& record)
{
    record.enabled = CheckList::isChecked(&item);
    std::size_t count = std::min(record.categories.size(), item.categoryChecks.size());
    for (std::size_t i = 0; i < count; ++i) {
        record.categories[i].checked = item.categoryChecks[i];
    }
}

} // namespace

ScriptsPage::ScriptsPage(
    core::ScriptList& scripts, std::int32_t& reloadMinutes, const core::PatrolReport* report, QWidget* parent)
    : QWidget(parent)
    , m_list(scripts)
    , m_reloadMinutes(reloadMinutes)
    , m_report(report)
    , m_scripts(new CheckList(this))
    , m_categories(new CheckList(this))
    , m_interval(new QLineEdit(this))
    , m_up(new QPushButton(msg::tr8(msg::kMoveUp), this))
    , m_down(new QPushButton(msg::tr8(msg::kMoveDown), this))
    , m_auth(new QGroupBox(msg::tr8(msg::kAuthGroup), this))
    , m_scriptStatus(statusLine(*m_scripts, this))
    , m_categoryStatus(statusLine(*m_categories, this))
{
    buildLayout();
    fill();
    connect(m_scripts, &QListWidget::currentRowChanged, this, &ScriptsPage::showCategories);
    connect(m_scripts, &CheckList::checkToggled, this, &ScriptsPage::scriptToggled);
    connect(m_categories, &CheckList::checkToggled, this, &ScriptsPage::categoryToggled);
    connect(m_up, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    connect(m_interval, &QLineEdit::textEdited, this, &ScriptsPage::changed);
}

ScriptsPage::~ScriptsPage() = default;

void ScriptsPage::buildLayout()
{
    m_interval->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    auto* authGrid = new QGridLayout(m_auth);
    auto* user = new QLineEdit(m_auth);
    auto* password = new QLineEdit(m_auth);
    authGrid->addWidget(fieldLabel(msg::kUserLabel, user, m_auth), 0, 0);
    authGrid->addWidget(user, 0, 1);
    authGrid->addWidget(fieldLabel(msg::kPasswordLabel, password, m_auth), 1, 0);
    password->setEchoMode(QLineEdit::Password);
    authGrid->addWidget(password, 1, 1);
    // Nothing of it is stored; it stays greyed out while the sheet is open.
    m_auth->setEnabled(false);

    auto* moves = new QVBoxLayout;
    moves->addWidget(m_up);
    moves->addWidget(m_down);
    moves->addStretch();
    auto* interval = new QHBoxLayout;
    interval->addWidget(fieldLabel(msg::kIntervalLabel, m_interval, this));
    interval->addWidget(m_interval);
    interval->addWidget(new QLabel(msg::tr8(msg::kMinutes), this));
    interval->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(fieldLabel(msg::kScriptsLabel, m_scripts, this), 0, 0);
    grid->addWidget(fieldLabel(msg::kCategoriesLabel, m_categories, this), 0, 2);
    grid->addWidget(m_scripts, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_categories, 1, 2);
    grid->addWidget(m_scriptStatus, 2, 0);
    grid->addWidget(m_categoryStatus, 2, 2);
    grid->addLayout(interval, 3, 0, 1, 3);
    grid->addWidget(m_auth, 4, 0, 1, 3);
}

void ScriptsPage::fill()
{
    for (const core::ScriptRecordPtr& record : m_list.entries) {
        m_scripts->addItem(new ScriptItem(*record, m_report));
    }
    m_interval->setText(QString::number(m_reloadMinutes));
    m_categories->setEnabled(false);
}

core::ScriptRecord* ScriptsPage::recordAt(int row) const
{
    QListWidgetItem* item = m_scripts->item(row);
    return item ? scriptItem(item)->record() : nullptr;
}

void ScriptsPage::showCategories(int row)
{
    m_categories->clear();
    QListWidgetItem* item = m_scripts->item(row);
    if (!item) {
        m_categories->setEnabled(false);
        return;
    }
    const ScriptItem& current = *scriptItem(item);
    const std::vector<core::Category>& categories = current.record()->categories;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        auto* category = new QListWidgetItem(toQString(categories[i].name));
        CheckList::setChecked(category, i < current.categoryChecks.size() && current.categoryChecks[i]);
        showStatus(*category, categoryStatus(m_report, *current.record(), categories[i].name));
        m_categories->addItem(category);
    }
    m_categories->setEnabled(CheckList::isChecked(item));
}

void ScriptsPage::scriptToggled()
{
    m_categories->setEnabled(CheckList::isChecked(m_scripts->currentItem()));
    emit changed();
}

void ScriptsPage::categoryToggled(int row)
{
    QListWidgetItem* item = m_scripts->currentItem();
    if (!item) {
        return;
    }
    std::vector<bool>& checks = scriptItem(item)->categoryChecks;
    if (row >= 0 && static_cast<std::size_t>(row) < checks.size()) {
        checks[static_cast<std::size_t>(row)] = CheckList::isChecked(m_categories->item(row));
    }
    emit changed();
}

void ScriptsPage::moveCurrent(int step)
{
    int from = m_scripts->currentRow();
    int to = from + step;
    if (from < 0 || to < 0 || to >= m_scripts->count()) {
        return;
    }
    bool bothSites = recordAt(from)->isSite() && recordAt(to)->isSite();
    int fromSite = siteIndexOf(from);
    int toSite = siteIndexOf(to);
    QListWidgetItem* moving = m_scripts->takeItem(from);
    m_scripts->insertItem(to, moving);
    m_scripts->setCurrentRow(to);
    if (bothSites) {
        emit sitesSwapped(fromSite, toSite);
    }
    emit changed();
}

int ScriptsPage::siteRow(int siteIndex) const
{
    for (int row = 0, sites = 0; row < m_scripts->count(); ++row) {
        if (recordAt(row)->isSite() && sites++ == siteIndex) {
            return row;
        }
    }
    return -1;
}

int ScriptsPage::siteIndexOf(int row) const
{
    int sites = 0;
    for (int before = 0; before < row; ++before) {
        sites += recordAt(before)->isSite() ? 1 : 0;
    }
    return sites;
}

void ScriptsPage::appendSite(core::ScriptRecordPtr site)
{
    m_scripts->addItem(new ScriptItem(*site, m_report));
    m_added.push_back(std::move(site));
    emit changed();
}

void ScriptsPage::replaceSite(int siteIndex, core::ScriptRecordPtr site)
{
    int row = siteRow(siteIndex);
    if (row < 0) {
        return;
    }
    // The old record stays with the list (or in m_added) until apply drops it.
    bool current = m_scripts->currentRow() == row;
    delete m_scripts->takeItem(row);
    m_scripts->insertItem(row, new ScriptItem(*site, m_report));
    m_added.push_back(std::move(site));
    if (current) {
        m_scripts->setCurrentRow(row);
    }
    emit changed();
}

void ScriptsPage::removeSite(int siteIndex)
{
    int row = siteRow(siteIndex);
    if (row >= 0) {
        delete m_scripts->takeItem(row);
        emit changed();
    }
}

void ScriptsPage::apply()
{
    std::vector<core::ScriptRecordPtr> pool = std::move(m_list.entries);
    m_list.entries.clear();
    std::move(m_added.begin(), m_added.end(), std::back_inserter(pool));
    m_added.clear();
    for (int row = 0; row < m_scripts->count(); ++row) {
        const ScriptItem& item = *scriptItem(m_scripts->item(row));
        auto found = std::find_if(pool.begin(), pool.end(),
            [&](const core::ScriptRecordPtr& record) { return record.get() == item.record(); });
        if (found != pool.end()) {
            applyItem(item, **found);
            m_list.entries.push_back(std::move(*found));
        }
    }
    // What is left in the pool was removed or replaced on the RSS page.
    pool.clear();
    if (std::optional<std::int32_t> minutes = parseInterval(m_interval->text())) {
        m_reloadMinutes = *minutes;
    }
}

void ScriptsPage::discard()
{
    // Rows of records about to be freed must not outlive them.
    for (int row = m_scripts->count() - 1; row >= 0; --row) {
        core::ScriptRecord* record = recordAt(row);
        if (std::any_of(m_added.begin(), m_added.end(),
                [&](const core::ScriptRecordPtr& added) { return added.get() == record; })) {
            delete m_scripts->takeItem(row);
        }
    }
    m_added.clear();
}

} // namespace zr5::ui
