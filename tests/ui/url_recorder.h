// Receives the URLs the program hands to the desktop, instead of a browser.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace zr5::ui::test {

class UrlRecorder final : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList& schemes)
        : m_schemes(schemes)
    {
        for (const QString& scheme : m_schemes) {
            QDesktopServices::setUrlHandler(scheme, this, "open");
        }
    }
    ~UrlRecorder() override
    {
        for (const QString& scheme : m_schemes) {
            QDesktopServices::unsetUrlHandler(scheme);
        }
    }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private:
    QStringList m_schemes;
};

} // namespace zr5::ui::test
