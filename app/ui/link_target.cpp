#include "ui/link_target.h"

namespace zr5::ui {

QUrl linkTarget(const QString& link, const QDir& base)
{
    QString trimmed = link.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    QUrl url(trimmed, QUrl::TolerantMode);
    // One letter before the colon is a drive, not a scheme.
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    QString path = trimmed;
    QString fragment;
    if (qsizetype hash = path.indexOf(u'#'); hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    path.replace(u'\\', u'/');
    QUrl file = QUrl::fromLocalFile(QDir::cleanPath(base.absoluteFilePath(path)));
    if (!fragment.isEmpty()) {
        file.setFragment(fragment);
    }
    return file;
}

} // namespace zr5::ui
