// The display page: scroll speed, pause on hover, docking, screen, opacity,
// and whether the ticker starts at login.
#pragma once

#include "core/autostart.h"
#include "core/settings.h"

#include <QList>
#include <QWidget>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QScreen;
class QSlider;
class QSpinBox;

namespace zr5::ui {

class SpeedSlider;

class DisplayPage final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLeastOpacity = 20;
    static constexpr int kMostOpacity = 100;

    // Out-of-range values show as the nearest valid ones; an unknown screen
    // name as the first screen. The login entry at autostartEntry is read now.
    DisplayPage(const core::WindowSettings& window, const std::vector<std::string>& screenNames,
        std::filesystem::path autostartEntry, core::AutostartCommand autostartCommand,
        QWidget* parent = nullptr);

    QSlider* speed() const;
    QCheckBox* hoverPause() const { return m_hoverPause; }
    QRadioButton* dockButton(int dock) const { return m_docks.at(static_cast<std::size_t>(dock)); }
    QComboBox* screen() const { return m_screen; }
    QSpinBox* opacity() const { return m_opacity; }
    QCheckBox* autostart() const { return m_autostart; }
    QLabel* autostartNote() const { return m_autostartNote; }

    // Writes or removes the login entry if the user changed the box. False,
    // with the reason in the note, when the system refused.
    bool applyAutostart();
    void apply(core::WindowSettings& window) const;

signals:
    void changed();

private:
    void buildLayout();
    void showAutostartState();

    SpeedSlider* m_speed;
    QCheckBox* m_hoverPause;
    std::array<QRadioButton*, 3> m_docks;
    QComboBox* m_screen;
    QSpinBox* m_opacity;
    QCheckBox* m_autostart;
    QLabel* m_autostartNote;
    std::filesystem::path m_autostartEntry;
    core::AutostartCommand m_autostartCommand;
    core::AutostartState m_autostartState = core::AutostartState::Off;
};

// The names the page lists (and the settings keep) for screens.
std::vector<std::string> screenNamesOf(const QList<QScreen*>& screens);

} // namespace zr5::ui
