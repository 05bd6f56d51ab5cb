// The proxy page: the system's settings, no proxy, or a named proxy server.
#pragma once

#include "core/settings.h"

#include <QWidget>
#include <array>
#include <optional>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zr5::ui {

class ProxyPage final : public QWidget {
    Q_OBJECT

public:
    explicit ProxyPage(const core::ProxySettings& proxy, QWidget* parent = nullptr);

    QRadioButton* typeButton(int type) const { return m_types.at(static_cast<std::size_t>(type)); }
    QLineEdit* address() const { return m_address; }
    QLineEdit* port() const { return m_port; }
    QCheckBox* bypassLocal() const { return m_bypass; }
    QLabel* note() const { return m_note; }

    // Why the page cannot be applied as it is (shown on the page), if so.
    std::optional<std::string_view> check();
    // Writes the page into proxy; call only after check() found nothing.
    void apply(core::ProxySettings& proxy) const;

signals:
    void changed();

private:
    void buildLayout();
    void enableServerFields();

    std::array<QRadioButton*, 3> m_types;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QCheckBox* m_bypass;
    QLabel* m_addressLabel;
    QLabel* m_portLabel;
    QLabel* m_note;
};

} // namespace zr5::ui
