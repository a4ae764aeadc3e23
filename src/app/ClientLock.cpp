#include "app/ClientLock.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace {

// Whatever stands at the lock's name and is no file (a link, a FIFO) is no client's lock, and
// reading it could hang the start: it goes before the lock is looked at. A folder stays.
void removeWhatIsNoLock(const QString &path)
{
    const QFileInfo info(path);
    const bool there = info.exists() || info.isSymLink();
    if (there && !info.isDir() && (info.isSymLink() || !info.isFile()))
        QFile::remove(path);
}

// The computer's name as QLockFile writes it into its lock.
QString thisComputer()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

} // namespace

ClientLock::ClientLock(const QString &folder) : m_folder(folder) {}

ClientLock::~ClientLock() = default;

QString ClientLock::fileName()
{
    return QStringLiteral("QorClient.lock");
}

QString ClientLock::path() const
{
    return FileSystem::joinPath(m_folder, fileName());
}

ClientLock::Result ClientLock::acquire()
{
    removeWhatIsNoLock(path());
    m_lock = std::make_unique<QLockFile>(path());
    // Never stale by age: a client may run for weeks. Only a lock whose process is gone is.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Result::Locked;
    if (m_lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString computer;
        QString application;
        if (!m_lock->getLockInfo(&pid, &computer, &application)) {
            // Empty, foreign or cut-short bytes: no client wrote them. What cannot even be
            // removed (a folder) leaves the folder without a lock, as a read-only one is.
            if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
                return Result::Locked;
            m_lock.reset();
            return Result::Unavailable;
        } else if (!computer.isEmpty() &&
                   computer.compare(thisComputer(), Qt::CaseInsensitive) != 0) {
            m_holder = computer;
            m_lock.reset();
            return Result::HeldOnAnotherComputer;
        }
    }
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

QString ClientLock::runningElsewhereText(const QString &folder, const QString &computer)
{
    return QStringLiteral("Программа уже запущена из папки \"%1\" на компьютере \"%2\".\r\n"
                          "Закройте её там и запустите программу снова. Если там она уже "
                          "закрыта (компьютер выключили, не закрыв её), удалите файл \"%3\" "
                          "в этой папке.")
        .arg(QDir::toNativeSeparators(folder), computer, fileName());
}
