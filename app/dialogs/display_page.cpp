#include "dialogs/display_page.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/qt_text.h"
#include "dialogs/speed_slider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

namespace zr5::ui {
namespace {

int dockShown(std::int32_t dock)
{
    return dock == core::DockTop || dock == core::DockBottom ? dock : core::DockFree;
}

} // namespace

DisplayPage::DisplayPage(const core::WindowSettings& window, const std::vector<std::string>& screenNames,
    std::filesystem::path autostartEntry, core::AutostartCommand autostartCommand, QWidget* parent)
    : QWidget(parent)
    , m_speed(new SpeedSlider(window.speed, this))
    , m_hoverPause(new QCheckBox(msg::tr8(msg::kHoverPause), this))
    , m_docks { new QRadioButton(msg::tr8(msg::kDockFree), this),
        new QRadioButton(msg::tr8(msg::kDockTop), this), new QRadioButton(msg::tr8(msg::kDockBottom), this) }
    , m_screen(new QComboBox(this))
    , m_opacity(new QSpinBox(this))
    , m_autostart(new QCheckBox(msg::tr8(msg::kAutostart), this))
    , m_autostartNote(new QLabel(this))
    , m_autostartEntry(std::move(autostartEntry))
    , m_autostartCommand(std::move(autostartCommand))
{
    buildLayout();
    m_hoverPause->setChecked(window.hoverPause != 0);
    m_docks[static_cast<std::size_t>(dockShown(window.dock))]->setChecked(true);
    for (const std::string& name : screenNames) {
        m_screen->addItem(toQString(name));
    }
    m_screen->setCurrentIndex(std::max(0, m_screen->findText(toQString(window.screen))));
    m_screen->setEnabled(m_screen->count() > 0);
    m_opacity->setRange(kLeastOpacity, kMostOpacity);
    m_opacity->setValue(std::clamp<std::int32_t>(window.opacity, kLeastOpacity, kMostOpacity));
    m_autostartState = core::readAutostart(m_autostartEntry);
    showAutostartState();

    connect(m_speed->slider(), &QSlider::valueChanged, this, &DisplayPage::changed);
    connect(m_hoverPause, &QCheckBox::clicked, this, &DisplayPage::changed);
    for (QRadioButton* dock : m_docks) {
        connect(dock, &QRadioButton::clicked, this, &DisplayPage::changed);
    }
    connect(m_screen, &QComboBox::activated, this, &DisplayPage::changed);
    connect(m_opacity, &QSpinBox::valueChanged, this, &DisplayPage::changed);
    connect(m_autostart, &QCheckBox::clicked, this, &DisplayPage::changed);
}

void DisplayPage::buildLayout()
{
    m_opacity->setSuffix(msg::tr8(msg::kPercentSuffix));
    m_autostartNote->setWordWrap(true);
    m_autostartNote->setStyleSheet(QStringLiteral("color: #c00000;"));

    auto* docking = new QGroupBox(msg::tr8(msg::kDockGroup), this);
    auto* dockRow = new QHBoxLayout(docking);
    for (QRadioButton* dock : m_docks) {
        dockRow->addWidget(dock);
    }
    auto* screenLabel = new QLabel(msg::tr8(msg::kScreenLabel), this);
    screenLabel->setBuddy(m_screen);
    auto* opacityLabel = new QLabel(msg::tr8(msg::kOpacityLabel), this);
    opacityLabel->setBuddy(m_opacity);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(msg::tr8(msg::kSpeedLabel), this), 0, 0);
    grid->addWidget(m_speed, 0, 1);
    grid->addWidget(m_hoverPause, 1, 0, 1, 2);
    grid->addWidget(docking, 2, 0, 1, 2);
    grid->addWidget(screenLabel, 3, 0);
    grid->addWidget(m_screen, 3, 1);
    grid->addWidget(opacityLabel, 4, 0);
    grid->addWidget(m_opacity, 4, 1, Qt::AlignLeft);
    grid->addWidget(m_autostart, 5, 0);
    grid->addWidget(m_autostartNote, 5, 1);
    grid->setRowStretch(6, 1);
}

QSlider* DisplayPage::speed() const
{
    return m_speed->slider();
}

// The box shows what the session will do, so a stale entry reads as off.
void DisplayPage::showAutostartState()
{
    m_autostart->setChecked(m_autostartState == core::AutostartState::On);
    m_autostartNote->setText(
        m_autostartState == core::AutostartState::Stale ? msg::tr8(msg::kAutostartStale) : QString());
}

bool DisplayPage::applyAutostart()
{
    const bool wanted = m_autostart->isChecked();
    if (wanted == (m_autostartState == core::AutostartState::On)) {
        return true;
    }
    core::SaveResult done = wanted ? core::writeAutostart(m_autostartEntry, m_autostartCommand)
                                   : core::removeAutostart(m_autostartEntry);
    if (!done) {
        m_autostartNote->setText(msg::tr8(msg::kAutostartFailed) + QString::fromLocal8Bit(done.error()));
        return false;
    }
    m_autostartState = core::readAutostart(m_autostartEntry);
    showAutostartState();
    return true;
}

void DisplayPage::apply(core::WindowSettings& window) const
{
    window.speed = m_speed->speed();
    window.hoverPause = m_hoverPause->isChecked() ? 1 : 0;
    for (int dock = 0; dock < static_cast<int>(m_docks.size()); ++dock) {
        if (m_docks[static_cast<std::size_t>(dock)]->isChecked()) {
            window.dock = dock;
        }
    }
    if (m_screen->currentIndex() >= 0) {
        window.screen = toCp932(m_screen->currentText());
    }
    window.opacity = m_opacity->value();
}

std::vector<std::string> screenNamesOf(const QList<QScreen*>& screens)
{
    std::vector<std::string> names;
    for (const QScreen* screen : screens) {
        names.push_back(toCp932(screen->name()));
    }
    return names;
}

} // namespace zr5::ui
