// SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C) close the ticker the
// normal way, from the event loop, so its settings are saved.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace zr5::ui {

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    // One per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace zr5::ui
