#pragma once

#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

// Small files for tests that copy and compare them.
namespace TestFiles {

// Writes bytes to path (a read-only file too), then sets the permissions when given.
inline void put(const QString &path, const QByteArray &bytes, QFile::Permissions permissions = {})
{
    QFile f(path);
    if (f.exists())
        f.setPermissions(f.permissions() | QFile::WriteOwner);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
    f.close();
    if (permissions)
        QVERIFY(f.setPermissions(permissions));
}

// Gives the file at existing a second name, as the file system's own hard link.
inline bool hardLink(const QString &existing, const QString &newName)
{
#ifdef Q_OS_WIN
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(newName.utf16()),
                           reinterpret_cast<const wchar_t *>(existing.utf16()), nullptr);
#else
    return ::link(QFile::encodeName(existing).constData(),
                  QFile::encodeName(newName).constData()) == 0;
#endif
}

// The file's bytes, "<missing>" when it cannot be read.
inline QByteArray readBack(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace TestFiles
