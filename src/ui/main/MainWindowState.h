#pragma once

#include "app/settings/WindowState.h"

class QAction;
class QWidget;
class SettingsStore;

// The main window's stored state between its widgets and the settings store: placement, show
// state and the six control properties. Restored once before the window is first shown, saved
// at the close request ("Visible" "0") and, when that did not happen, at destruction ("1").
class MainWindowState
{
public:
    struct Controls
    {
        QAction *aStatusBar;
        QAction *aToolBar;
        QWidget *statusBar;
        QWidget *toolBar;
        QWidget *lcbFTYPE;
        QWidget *lcbPODKOM;
    };

    MainWindowState(QWidget *window, const Controls &controls);

    // Throws QorError when the store fails before the control properties; then the state is
    // not saved later in this run.
    void restore(SettingsStore &store);
    void save(SettingsStore &store, WindowStateSaveMoment moment);
    // What the destruction still owes: a restore ran to its end, and no save was tried since.
    bool saveOwed() const { return m_restored && !m_saved; }
    bool restored() const { return m_restored; }

    WindowPlacement placement() const;
    ControlProperties properties() const;
    void applyProperties(const ControlProperties &properties);
    static ScreenInfo screenInfo();

    // A box narrower than this could no longer be found to be widened again.
    static constexpr int kMinimumBoxWidth = 40;

private:
    QWidget *m_window;
    Controls m_controls;
    WindowPlacement m_kept; // flags and minimised and maximised positions, as read
    bool m_restored = false;
    bool m_saved = false;
};
