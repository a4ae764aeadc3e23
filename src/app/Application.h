#pragma once

#include <QString>
#include <functional>

class QApplication;
class QWidget;

// What happens between process start and the first window, and at the end.
namespace Application {

// Russian for the whole program (default locale and Qt's own translation of standard
// buttons), the application title, the Qt dialogs and the busy mouse pointer.
void prepare(QApplication &app);

// The client's windows, created by the layer that knows them.
struct ClientWindows
{
    std::function<QWidget *()> createMain;  // the main window, not yet shown
    std::function<QWidget *()> createEntry; // the entry form, hidden
    QString lockFolder = QString(); // the program folder to hold the client lock in; empty: no lock
};

// Client mode: when another client holds the lock of the program folder, says so and ends
// without a window. Otherwise creates `DM1`, the main window and the entry form in that order, runs
// the event loop until the main window has closed, destroys them in reverse order. An error while
// creating or destroying the data module is shown and the next object still comes.
int runClient(QApplication &app, const ClientWindows &windows);

// Installer mode: runs the installer; an error that escapes it is shown in the fatal error
// box and ends the process with status 1.
int runInstaller(const std::function<void()> &installer);

} // namespace Application
