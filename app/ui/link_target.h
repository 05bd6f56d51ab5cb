// Where a headline's link (or the help file) leads. Links come from feeds and
// scripts, that is from anyone, so only web addresses (http, https, ftp) are
// taken as they are; anything without a scheme is a file relative to the
// working folder, keeping its "#fragment" (bundled scripts link into the help
// that way), as long as it stays inside that folder.
#pragma once

#include <QDir>
#include <QString>
#include <QUrl>

namespace zr5::ui {

// Invalid for an empty link and for one that must not be opened.
QUrl linkTarget(const QString& link, const QDir& base = QDir::current());

} // namespace zr5::ui
