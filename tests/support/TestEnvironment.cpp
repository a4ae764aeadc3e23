#include "support/TestEnvironment.h"

#include "platform/Clock.h"

#include <QDir>
#include <QTemporaryDir>

namespace TestEnvironment {

QString isolateHome()
{
    static QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString config = dir.filePath(QStringLiteral("config"));
    QDir().mkpath(home);
    QDir().mkpath(config);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    return config;
}

FixedClock::FixedClock(const QDateTime &when)
{
    Clock::setFixed(when);
}

FixedClock::~FixedClock()
{
    Clock::setFixed(QDateTime());
}

} // namespace TestEnvironment
