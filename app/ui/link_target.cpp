#include "ui/link_target.h"

#include <QStringList>

namespace zr5::ui {
namespace {

bool isWebScheme(const QString& scheme)
{
    static const QStringList kOpenable { QStringLiteral("http"), QStringLiteral("https"),
        QStringLiteral("ftp") };
    return kOpenable.contains(scheme, Qt::CaseInsensitive);
}

// A relative link names one of the program's own files; "/etc/..." or
// "../../" is something else dressed up as one.
QUrl relativeFile(QString path, const QDir& base)
{
    QString fragment;
    if (qsizetype hash = path.indexOf(u'#'); hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    path.replace(u'\\', u'/');
    if (path.startsWith(u'/')) {
        return {};
    }
    QString resolved = QDir::cleanPath(base.absoluteFilePath(path));
    QString root = QDir::cleanPath(base.absolutePath());
    if (resolved != root && !resolved.startsWith(root.endsWith(u'/') ? root : root + u'/')) {
        return {};
    }
    QUrl file = QUrl::fromLocalFile(resolved);
    if (!fragment.isEmpty()) {
        file.setFragment(fragment);
    }
    return file;
}

} // namespace

QUrl linkTarget(const QString& link, const QDir& base)
{
    QString trimmed = link.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    QUrl url(trimmed, QUrl::TolerantMode);
    // One letter before the colon is a drive, not a scheme.
    if (url.isValid() && url.scheme().size() > 1) {
        return isWebScheme(url.scheme()) ? url : QUrl();
    }
    return relativeFile(trimmed, base);
}

} // namespace zr5::ui
