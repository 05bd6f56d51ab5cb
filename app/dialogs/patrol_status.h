// How the last patrol went for a row of the sheet's lists: a standard icon
// beside the row, the result's text as its tool tip and accessible
// description, and a status line under the list that follows the current row
// for those who do not use a mouse.
#pragma once

#include "core/patrol_report.h"
#include "core/script_list.h"

#include <QString>
#include <string_view>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QWidget;

namespace zr5::ui {

enum class StatusLevel { None, Ok, Warning, Error };

struct EntryStatus {
    StatusLevel level = StatusLevel::None;
    QString text;
};

// A script that did not load, else the report's entry without a category
// (sites, and scripts the patrol could not run).
EntryStatus recordStatus(const core::PatrolReport* report, const core::ScriptRecord& record);
EntryStatus categoryStatus(
    const core::PatrolReport* report, const core::ScriptRecord& record, std::string_view category);

void showStatus(QListWidgetItem& item, const EntryStatus& status);

// A label under list that shows the current row's status text.
QLabel* statusLine(QListWidget& list, QWidget* parent);

} // namespace zr5::ui
