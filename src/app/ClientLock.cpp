#include "app/ClientLock.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QLockFile>

ClientLock::ClientLock(const QString &folder) : m_folder(folder) {}

ClientLock::~ClientLock() = default;

QString ClientLock::fileName()
{
    return QStringLiteral("QorClient.lock");
}

ClientLock::Result ClientLock::acquire()
{
    m_lock = std::make_unique<QLockFile>(FileSystem::joinPath(m_folder, fileName()));
    // Never stale by age: a client may run for weeks. Only a lock whose process is gone is.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Result::Locked;
    const bool held = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    return held ? Result::HeldByAnother : Result::Unavailable;
}

QString ClientLock::alreadyRunningText(const QString &folder)
{
    return QStringLiteral("Программа уже запущена из папки \"%1\".\r\n"
                          "Продолжайте работу в её окне: две копии программы в одной папке "
                          "стирали бы карточки друг друга.")
        .arg(QDir::toNativeSeparators(folder));
}
