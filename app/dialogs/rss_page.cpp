#include "dialogs/rss_page.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/field_label.h"
#include "dialogs/patrol_status.h"
#include "dialogs/qt_text.h"
#include "dialogs/scripts_page.h"
#include "dialogs/site_input.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>

namespace zr5::ui {
namespace {

constexpr int kUrlRole = Qt::UserRole;
// The fields are read as at most this many characters when deciding which
// buttons are live.
constexpr int kFieldReadLength = 258;

const QString kUriListType = QStringLiteral("text/uri-list");

QString droppedLink(const QMimeData& data)
{
    QString link;
    if (data.hasFormat(kUriListType)) {
        link = firstLine(QString::fromUtf8(data.data(kUriListType)), DroppedText::UriList);
    }
    if (link.isEmpty() && data.hasText()) {
        link = firstLine(data.text(), DroppedText::PlainText);
    }
    return link;
}

bool offersLink(const QMimeData* data)
{
    return data && (data->hasFormat(kUriListType) || data->hasText());
}

} // namespace

RssPage::RssPage(const core::ScriptList& scripts, ScriptsPage& scriptsPage, const core::PatrolReport* report,
    QWidget* parent)
    : QWidget(parent)
    , m_scriptsPage(scriptsPage)
    , m_sites(new QListWidget(this))
    , m_name(new QLineEdit(this))
    , m_url(new QLineEdit(this))
    , m_add(new QPushButton(msg::tr8(msg::kAddSite), this))
    , m_applyChange(new QPushButton(msg::tr8(msg::kApplyChange), this))
    , m_delete(new QPushButton(msg::tr8(msg::kDeleteSite), this))
    , m_note(new QLabel(this))
    , m_siteStatus(statusLine(*m_sites, this))
{
    buildLayout();
    for (const core::ScriptRecordPtr& record : scripts.entries) {
        if (record->isSite()) {
            auto* item = new QListWidgetItem(toQString(record->name), m_sites);
            item->setData(kUrlRole, toQString(record->url));
            showStatus(*item, recordStatus(report, *record));
        }
    }
    setButtons(false, false);
    setAcceptDrops(true);
    // Selection, not the current row: focus alone makes a row current.
    connect(m_sites, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(selectedRow()); });
    connect(m_name, &QLineEdit::textChanged, this, &RssPage::fieldsEdited);
    connect(m_url, &QLineEdit::textChanged, this, &RssPage::fieldsEdited);
    connect(m_add, &QPushButton::clicked, this, &RssPage::addSite);
    connect(m_applyChange, &QPushButton::clicked, this, &RssPage::applyChange);
    connect(m_delete, &QPushButton::clicked, this, &RssPage::deleteSite);
}

void RssPage::buildLayout()
{
    // Links dropped anywhere on the page, the fields included, fill both fields.
    for (QLineEdit* field : { m_name, m_url }) {
        field->setAcceptDrops(false);
        field->installEventFilter(this);
    }
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #c00000;"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_applyChange);
    buttons->addWidget(m_delete);
    auto* grid = new QGridLayout(this);
    grid->addWidget(fieldLabel(msg::kSitesLabel, m_sites, this), 0, 0, 1, 2);
    grid->addWidget(m_sites, 1, 0, 1, 2);
    grid->addWidget(m_siteStatus, 2, 0, 1, 2);
    grid->addWidget(fieldLabel(msg::kSiteNameLabel, m_name, this), 3, 0);
    grid->addWidget(m_name, 3, 1);
    grid->addWidget(fieldLabel(msg::kSiteUrlLabel, m_url, this), 4, 0);
    grid->addWidget(m_url, 4, 1);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->addWidget(m_note, 6, 0, 1, 2);
    grid->addWidget(new QLabel(msg::tr8(msg::kDropHint1), this), 7, 0, 1, 2);
    grid->addWidget(new QLabel(msg::tr8(msg::kDropHint2), this), 8, 0, 1, 2);
}

void RssPage::setButtons(bool add, bool change)
{
    m_add->setEnabled(add);
    m_applyChange->setEnabled(change);
    m_delete->setEnabled(change);
}

void RssPage::selectionChanged(int row)
{
    QListWidgetItem* item = m_sites->item(row);
    if (!item) {
        return;
    }
    m_name->setText(item->text());
    m_url->setText(item->data(kUrlRole).toString());
    setButtons(true, true);
}

void RssPage::fieldsEdited()
{
    bool filled
        = !m_name->text().left(kFieldReadLength).isEmpty() && !m_url->text().left(kFieldReadLength).isEmpty();
    setButtons(filled, filled && selectedRow() >= 0);
    m_add->setDefault(true);
}

bool RssPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        m_add->setDefault(true);
    } else if (event->type() == QEvent::FocusOut && m_ok) {
        m_ok->setDefault(true);
    }
    return QWidget::eventFilter(watched, event);
}

bool RssPage::fieldsAccepted()
{
    if (m_name->text().isEmpty() || m_url->text().isEmpty()) {
        return false;
    }
    std::optional<std::string_view> problem = siteInputProblem(m_name->text(), m_url->text());
    m_note->setText(problem ? msg::tr8(*problem) : QString());
    return !problem;
}

core::ScriptRecordPtr RssPage::siteFromFields() const
{
    auto site = std::make_unique<core::ScriptRecord>(core::RecordKind::Site, toCp932(m_name->text()));
    site->url = toCp932(m_url->text());
    return site;
}

void RssPage::addSite()
{
    if (!fieldsAccepted()) {
        return;
    }
    auto* item = new QListWidgetItem(m_name->text(), m_sites);
    item->setData(kUrlRole, m_url->text());
    m_scriptsPage.appendSite(siteFromFields());
    m_sites->setCurrentItem(item);
    setButtons(true, true);
    emit changed();
}

int RssPage::selectedRow() const
{
    const QList<QListWidgetItem*> selected = m_sites->selectedItems();
    return selected.isEmpty() ? -1 : m_sites->row(selected.front());
}

void RssPage::applyChange()
{
    QListWidgetItem* item = m_sites->item(selectedRow());
    if (!item || !fieldsAccepted()) {
        return;
    }
    item->setText(m_name->text());
    item->setData(kUrlRole, m_url->text());
    m_scriptsPage.replaceSite(m_sites->row(item), siteFromFields());
    emit changed();
}

void RssPage::deleteSite()
{
    int row = selectedRow();
    if (row < 0) {
        return;
    }
    {
        QSignalBlocker quiet(m_sites);
        delete m_sites->takeItem(row);
        m_sites->setCurrentRow(-1);
    }
    m_name->clear();
    m_url->clear();
    setButtons(false, false);
    m_scriptsPage.removeSite(row);
    if (row < m_sites->count()) {
        m_sites->setCurrentRow(row);
    }
    emit changed();
}

void RssPage::swapSites(int first, int second)
{
    int upper = std::min(first, second);
    int lower = std::max(first, second);
    if (upper < 0 || lower >= m_sites->count() || upper == lower) {
        return;
    }
    QSignalBlocker quiet(m_sites);
    QListWidgetItem* selected = m_sites->item(selectedRow());
    m_sites->insertItem(upper, m_sites->takeItem(lower));
    if (selected) {
        m_sites->setCurrentItem(selected);
    }
}

void RssPage::dragEnterEvent(QDragEnterEvent* event)
{
    if (offersLink(event->mimeData())) {
        event->setDropAction(event->proposedAction() == Qt::LinkAction ? Qt::LinkAction : Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void RssPage::dragMoveEvent(QDragMoveEvent* event)
{
    if (offersLink(event->mimeData())) {
        event->setDropAction(event->proposedAction() == Qt::LinkAction ? Qt::LinkAction : Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void RssPage::dropEvent(QDropEvent* event)
{
    QString link = event->mimeData() ? droppedLink(*event->mimeData()) : QString();
    if (link.isEmpty()) {
        event->ignore();
        return;
    }
    m_name->setText(link);
    m_url->setText(link);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace zr5::ui
