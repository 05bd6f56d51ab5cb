// Where a headline's link (or the help file) leads: absolute URLs as they
// are, anything without a scheme as a file relative to the working folder,
// keeping its "#fragment" (bundled scripts link into the help that way).
#pragma once

#include <QDir>
#include <QString>
#include <QUrl>

namespace zr5::ui {

// Invalid for an empty link.
QUrl linkTarget(const QString& link, const QDir& base = QDir::current());

} // namespace zr5::ui
