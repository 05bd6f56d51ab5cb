#include "dialogs/rss_page.h"

#include "core/atomic_file.h"
#include "core/opml.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/field_label.h"
#include "dialogs/patrol_status.h"
#include "dialogs/qt_text.h"
#include "dialogs/scripts_page.h"
#include "dialogs/site_input.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSet>

namespace zr5::ui {
namespace {

constexpr int kUrlRole = Qt::UserRole;
// The fields are read as at most this many characters when deciding which
// buttons are live.
constexpr int kFieldReadLength = 258;

const QString kUriListType = QStringLiteral("text/uri-list");

// The note names this many refused sites, each cut to kNoteNameLength.
constexpr int kNoteRefusals = 5;
constexpr int kNoteNameLength = 40;

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

core::ScriptRecordPtr siteRecord(const QString& name, const QString& url, bool enabled)
{
    auto site = std::make_unique<core::ScriptRecord>(core::RecordKind::Site, toCp932(name));
    site->url = toCp932(url);
    site->enabled = enabled;
    return site;
}

QString refusalLine(const QString& name, std::string_view problem)
{
    QString shown = name.size() > kNoteNameLength ? name.left(kNoteNameLength) + u'…' : name;
    return msg::tr8(msg::kSiteRefused).arg(shown, msg::tr8(problem));
}

std::optional<std::vector<core::OpmlSite>> readOpmlFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(static_cast<qint64>(core::kMaxOpmlBytes) + 1);
    return core::readOpml(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
    , m_import(new QPushButton(msg::tr8(msg::kImportOpml), this))
    , m_export(new QPushButton(msg::tr8(msg::kExportOpml), this))
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
    connect(m_import, &QPushButton::clicked, this, &RssPage::chooseImportFile);
    connect(m_export, &QPushButton::clicked, this, &RssPage::chooseExportFile);
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
    auto* files = new QHBoxLayout;
    files->addWidget(m_import);
    files->addWidget(m_export);
    files->addStretch();
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
    grid->addLayout(files, 9, 0, 1, 2);
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

QListWidgetItem* RssPage::appendSite(const QString& name, const QString& url, bool enabled)
{
    auto* item = new QListWidgetItem(name, m_sites);
    item->setData(kUrlRole, url);
    m_scriptsPage.appendSite(siteRecord(name, url, enabled));
    return item;
}

void RssPage::addSite()
{
    if (!fieldsAccepted()) {
        return;
    }
    m_sites->setCurrentItem(appendSite(m_name->text(), m_url->text(), false));
    setButtons(true, true);
    emit changed();
}

void RssPage::importOpml(const QString& path)
{
    std::optional<std::vector<core::OpmlSite>> sites = readOpmlFile(path);
    if (!sites) {
        m_note->setText(msg::tr8(msg::kOpmlUnreadable));
        return;
    }
    QSet<QString> listed;
    for (int row = 0; row < m_sites->count(); ++row) {
        listed.insert(m_sites->item(row)->data(kUrlRole).toString());
    }
    QStringList refusals;
    int refused = 0;
    int added = 0;
    for (const core::OpmlSite& site : *sites) {
        QString name = toQString(site.name);
        QString url = toQString(site.url);
        if (listed.contains(url)) {
            continue;
        }
        if (std::optional<std::string_view> problem = siteInputProblem(name, url)) {
            if (++refused <= kNoteRefusals) {
                refusals << refusalLine(name, *problem);
            }
            continue;
        }
        listed.insert(url);
        appendSite(name, url, true);
        ++added;
    }
    if (refused > kNoteRefusals) {
        refusals << msg::tr8(msg::kMoreSitesRefused).arg(refused - kNoteRefusals);
    }
    m_note->setText(refusals.join(u'\n'));
    if (added > 0) {
        emit changed();
    }
}

void RssPage::exportOpml(const QString& path)
{
    std::vector<core::OpmlSite> sites;
    for (int row = 0; row < m_sites->count(); ++row) {
        const QListWidgetItem& item = *m_sites->item(row);
        sites.push_back({ toCp932(item.text()), toCp932(item.data(kUrlRole).toString()) });
    }
    std::string document = core::writeOpml(sites, toCp932(msg::tr8(msg::kProductName)));
    core::SaveResult saved = core::writeFileAtomically(QFile::encodeName(path).toStdString(), document);
    m_note->setText(
        saved ? QString() : msg::tr8(msg::kOpmlNotWritten) + QString::fromLocal8Bit(saved.error()));
}

void RssPage::chooseImportFile()
{
    QString path
        = QFileDialog::getOpenFileName(this, msg::tr8(msg::kImportOpml), {}, msg::tr8(msg::kOpmlFilter));
    if (!path.isEmpty()) {
        importOpml(path);
    }
}

void RssPage::chooseExportFile()
{
    QString path = QFileDialog::getSaveFileName(
        this, msg::tr8(msg::kExportOpml), msg::tr8(msg::kOpmlFileName), msg::tr8(msg::kOpmlFilter));
    if (!path.isEmpty()) {
        exportOpml(path);
    }
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
    m_scriptsPage.replaceSite(m_sites->row(item), siteRecord(m_name->text(), m_url->text(), false));
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
