#include "support/TestEnvironment.h"

#include "platform/Clock.h"
#include "platform/RegistryBackend.h"

#include <QDir>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace TestEnvironment {

// On Windows the settings live in the registry, which no environment variable moves: a fresh
// home there means the program's keys emptied. The tests run only in a registry of their own
// (a private Wine prefix, which says so), never in a user's.
void clearProgramKeys()
{
#ifdef Q_OS_WIN
    if (qEnvironmentVariable("QORCLIENT_TEST_SANDBOX") != QLatin1String("wine"))
        qFatal("The tests empty the program's registry keys: run them in a Wine prefix of their "
               "own (build-windows/wine-run.sh), never in a user's registry");
    const auto store = RegistryBackend::forCurrentUser();
    for (const char *key : {"Software\\VELNOR", "Software\\KELM", "TfmMainDBGridEh1"})
        store->deleteKeyTree(QString::fromLatin1(key));
#endif
}

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
    clearProgramKeys();
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
    clearProgramKeys();
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

bool underWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
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
