#pragma once

#include <QDateTime>
#include <QString>

// Helpers every test may use.
namespace TestEnvironment {

// Points HOME and XDG_CONFIG_HOME at fresh folders inside a temporary folder that lives for the
// process, so that no test reaches the real home folder. Returns the config folder.
QString isolateHome();

// Fixes the program's clock for the lifetime of the guard.
class FixedClock
{
public:
    explicit FixedClock(const QDateTime &when);
    ~FixedClock();
};

} // namespace TestEnvironment
