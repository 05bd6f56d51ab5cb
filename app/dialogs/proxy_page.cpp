#include "dialogs/proxy_page.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/qt_text.h"
#include "dialogs/site_input.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace zr5::ui {
namespace {

constexpr int kNamedProxy = 2;

} // namespace

ProxyPage::ProxyPage(const core::ProxySettings& proxy, QWidget* parent)
    : QWidget(parent)
    , m_types { new QRadioButton(msg::tr8(msg::kProxySystem), this),
        new QRadioButton(msg::tr8(msg::kProxyNone), this),
        new QRadioButton(msg::tr8(msg::kProxyNamed), this) }
    , m_address(new QLineEdit(toQString(proxy.address), this))
    , m_port(new QLineEdit(QString::number(static_cast<std::uint32_t>(proxy.port)), this))
    , m_bypass(new QCheckBox(msg::tr8(msg::kBypassLocal), this))
    , m_addressLabel(new QLabel(msg::tr8(msg::kAddressLabel), this))
    , m_portLabel(new QLabel(msg::tr8(msg::kPortLabel), this))
    , m_note(new QLabel(this))
{
    buildLayout();
    // An unknown type checks no button: siblings that are only auto-exclusive
    // allow that, a button group would not.
    if (proxy.type >= 0 && proxy.type < static_cast<int>(m_types.size())) {
        m_types[static_cast<std::size_t>(proxy.type)]->setChecked(true);
    }
    m_bypass->setChecked(proxy.bypassLocal != 0);
    enableServerFields();

    for (QRadioButton* type : m_types) {
        connect(type, &QRadioButton::clicked, this, [this] {
            enableServerFields();
            emit changed();
        });
    }
    connect(m_address, &QLineEdit::textEdited, this, &ProxyPage::changed);
    connect(m_port, &QLineEdit::textEdited, this, &ProxyPage::changed);
    connect(m_bypass, &QCheckBox::clicked, this, &ProxyPage::changed);
}

void ProxyPage::buildLayout()
{
    m_port->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #c00000;"));
    auto* grid = new QGridLayout(this);
    for (int type = 0; type < static_cast<int>(m_types.size()); ++type) {
        grid->addWidget(m_types[static_cast<std::size_t>(type)], type, 0, 1, 2);
    }
    m_addressLabel->setBuddy(m_address);
    m_portLabel->setBuddy(m_port);
    grid->addWidget(m_addressLabel, 3, 0);
    grid->addWidget(m_address, 3, 1);
    grid->addWidget(m_portLabel, 4, 0);
    grid->addWidget(m_port, 4, 1);
    grid->addWidget(m_bypass, 5, 0, 1, 2);
    grid->addWidget(m_note, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);
}

void ProxyPage::enableServerFields()
{
    // Greyed-out fields keep their values; apply stores them all the same.
    bool named = m_types[kNamedProxy]->isChecked();
    for (QWidget* field :
        std::initializer_list<QWidget*> { m_address, m_port, m_bypass, m_addressLabel, m_portLabel }) {
        field->setEnabled(named);
    }
}

std::optional<std::string_view> ProxyPage::check()
{
    std::optional<std::string_view> problem = addressProblem(m_address->text());
    if (!problem && !parsePort(m_port->text())) {
        problem = msg::kPortRefused;
    }
    m_note->setText(problem ? msg::tr8(*problem) : QString());
    return problem;
}

void ProxyPage::apply(core::ProxySettings& proxy) const
{
    for (int type = 0; type < static_cast<int>(m_types.size()); ++type) {
        if (m_types[static_cast<std::size_t>(type)]->isChecked()) {
            proxy.type = type;
        }
    }
    proxy.address = toCp932(m_address->text());
    proxy.port = parsePort(m_port->text()).value_or(proxy.port);
    proxy.bypassLocal = m_bypass->isChecked() ? 1 : 0;
}

} // namespace zr5::ui
