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
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(home);
    QDir().mkpath(config);
    QDir().mkpath(data);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    return config;
}

struct TemporaryHome::Data
{
    QTemporaryDir dir;
    QByteArray saved[3];
    bool wasSet[3] = {};
};

namespace {
const char *const kVariables[3] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
const char *const kFolders[3] = {"home", "config", "data"};
} // namespace

TemporaryHome::TemporaryHome() : d(new Data)
{
    for (int i = 0; i < 3; ++i) {
        d->wasSet[i] = qEnvironmentVariableIsSet(kVariables[i]);
        d->saved[i] = qgetenv(kVariables[i]);
        const QString folder = d->dir.filePath(QString::fromLatin1(kFolders[i]));
        QDir().mkpath(folder);
        qputenv(kVariables[i], folder.toLocal8Bit());
    }
}

TemporaryHome::~TemporaryHome()
{
    for (int i = 0; i < 3; ++i) {
        if (d->wasSet[i])
            qputenv(kVariables[i], d->saved[i]);
        else
            qunsetenv(kVariables[i]);
    }
    delete d;
}

QString TemporaryHome::home() const
{
    return d->dir.filePath(QStringLiteral("home"));
}

QString TemporaryHome::config() const
{
    return d->dir.filePath(QStringLiteral("config"));
}

QString TemporaryHome::data() const
{
    return d->dir.filePath(QStringLiteral("data"));
}

QString TemporaryHome::path(const QString &relative) const
{
    return d->dir.filePath(relative);
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
