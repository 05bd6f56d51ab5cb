#include "dialogs/patrol_status.h"

#include "dialogs/qt_text.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStyle>

namespace zr5::ui {
namespace {

// A broken script needs its author; anything else may pass by itself.
StatusLevel levelOf(const core::EntryResult& result)
{
    if (!core::isFailure(result)) {
        return StatusLevel::Ok;
    }
    const bool broken
        = result.outcome == core::Outcome::SyntaxError || result.outcome == core::Outcome::RunError;
    return broken ? StatusLevel::Error : StatusLevel::Warning;
}

EntryStatus statusOf(const core::EntryResult* result)
{
    if (!result) {
        return {};
    }
    return { levelOf(*result), toQString(core::describeResult(*result)) };
}

QIcon iconOf(StatusLevel level)
{
    QStyle* style = QApplication::style();
    switch (level) {
    case StatusLevel::Ok:
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    case StatusLevel::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case StatusLevel::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case StatusLevel::None:
        break;
    }
    return {};
}

} // namespace

EntryStatus recordStatus(const core::PatrolReport* report, const core::ScriptRecord& record)
{
    if (!record.loadError.empty()) {
        return { StatusLevel::Error, toQString(record.loadError) };
    }
    return statusOf(report ? report->find(record.name, {}) : nullptr);
}

EntryStatus categoryStatus(
    const core::PatrolReport* report, const core::ScriptRecord& record, std::string_view category)
{
    return statusOf(report ? report->find(record.name, category) : nullptr);
}

void showStatus(QListWidgetItem& item, const EntryStatus& status)
{
    item.setData(Qt::DecorationRole, iconOf(status.level));
    item.setData(Qt::ToolTipRole, status.text);
    item.setData(Qt::AccessibleDescriptionRole, status.text);
}

QLabel* statusLine(QListWidget& list, QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setWordWrap(true);
    line->setTextFormat(Qt::PlainText);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QObject::connect(&list, &QListWidget::currentItemChanged, line, [line](QListWidgetItem* current) {
        line->setText(current ? current->data(Qt::ToolTipRole).toString() : QString());
    });
    return line;
}

} // namespace zr5::ui
