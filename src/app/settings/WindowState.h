#pragma once

#include "app/settings/ScreenFit.h"

#include <QList>
#include <QPair>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class SettingsStore;

// The main window's stored state, sub-key "TfmMain" of the settings key: placement, show state
// and six control properties, as plain data. The main window fills these from its widgets and
// applies what the restore returns.

// Windows show commands, as stored in "ShowCmd".
enum ShowCommand { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };

struct WindowPlacement
{
    int flags = 0;
    int showCmd = ShowNormal;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    WindowRect normalRect; // the rectangle when neither minimised nor maximised
};

// The six control properties the main window keeps.
struct ControlProperties
{
    bool aStatusBarChecked = true;
    bool aToolBarChecked = true;
    bool statusBarVisible = true;
    bool toolBar1Visible = true;
    int lcbFTYPEWidth = 0;
    int lcbPODKOMWidth = 0;
};

struct ScreenInfo
{
    QSize size;             // of the primary screen: the "(%dx%d)" in the value names
    int pixelsPerInch = 96; // of the primary screen
    QList<QRect> available; // the usable area of every screen, to keep the window reachable
};

enum class WindowShowState { Normal, MinimizeApplication, Maximized };

struct WindowStateRestore
{
    bool stopped = false;        // a negative "FormVersion": nothing else was read
    bool applyPlacement = false; // apply placement, after switching the centring off
    WindowPlacement placement;
    bool movedOntoScreen = false; // the stored place was on no screen and has been moved
    WindowShowState showState = WindowShowState::Normal;
    ControlProperties properties;   // the current ones with those read applied
    bool propertiesComplete = true; // false: a read failed, the rest keep their values
};

// Reads a value of "TfmMain", def when it is missing; throws QorError on a failure.
using SettingReader = std::function<QString(const QString &name, const QString &def)>;

// The restore: reads through read. Failures before the control properties propagate;
// a failure while they are read ends the restore quietly (propertiesComplete false).
WindowStateRestore restoreWindowState(const SettingReader &read, const WindowPlacement &current,
                                      const ControlProperties &properties,
                                      const ScreenInfo &screen);
WindowStateRestore restoreWindowState(SettingsStore &store, const WindowPlacement &current,
                                      const ControlProperties &properties,
                                      const ScreenInfo &screen);

// When the state is saved: "Visible" is "0" at the close request, "1" at destruction.
enum class WindowStateSaveMoment { CloseRequest, Destruction };

// The values in the order they are written.
QList<QPair<QString, QString>> windowStateValues(const WindowPlacement &placement,
                                                 bool applicationMinimized,
                                                 const ControlProperties &properties,
                                                 const ScreenInfo &screen,
                                                 WindowStateSaveMoment moment);
void saveWindowState(SettingsStore &store, const WindowPlacement &placement,
                     bool applicationMinimized, const ControlProperties &properties,
                     const ScreenInfo &screen, WindowStateSaveMoment moment);
