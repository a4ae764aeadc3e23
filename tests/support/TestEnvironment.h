#pragma once

#include <QDateTime>
#include <QString>

// Helpers every test may use.
namespace TestEnvironment {

// Points HOME, XDG_CONFIG_HOME and XDG_DATA_HOME at fresh folders inside a temporary folder that
// lives for the process, so that no test reaches the real home folder. Returns the config folder.
QString isolateHome();

// Empties the program's keys in the registry on Windows, where no folder holds the settings;
// nothing elsewhere. isolateHome and TemporaryHome do it themselves.
void clearProgramKeys();

// A home folder of its own for one test: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME point at fresh
// folders "home", "config" and "data" in a temporary folder for the guard's lifetime.
class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString home() const;
    QString config() const;
    QString data() const;
    QString path(const QString &relative) const; // a path inside the temporary folder

private:
    struct Data;
    Data *d;
};

// Whether the tests run under Wine, whose answers differ from Windows' in a few places.
bool underWine();

// Fixes the program's clock for the lifetime of the guard.
class FixedClock
{
public:
    explicit FixedClock(const QDateTime &when);
    ~FixedClock();
};

} // namespace TestEnvironment
