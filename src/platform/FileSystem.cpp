#include "platform/FileSystem.h"

#include "platform/Cp1251.h"
#include "platform/FileErrors.h"
#include "platform/FileSystemNative.h"
#include "platform/QorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <cerrno>

#ifndef Q_OS_WIN
#include <dirent.h>
#endif

namespace {

FileSystem::FaultHook &faultHook()
{
    static FileSystem::FaultHook hook;
    return hook;
}

int injected(FileSystem::Step step, const QString &path)
{
    const FileSystem::FaultHook &hook = faultHook();
    return hook ? hook(step, path) : 0;
}

// A stdio call failed: its native error, never 0.
int stdioFailure()
{
    const int error = FileSystemNative::lastStdioError();
    return error ? error : EIO;
}

// Closes a file on the failure path; the first error is the one reported.
[[noreturn]] void failAndClose(std::FILE *file, int error)
{
    std::fclose(file);
    FileErrors::raiseNative(error);
}

[[noreturn]] void failToOpen(const QString &path, int error)
{
    if (error == FileSystemNative::kNotRegularFile)
        throw QorError(FileSystem::notRegularFileMessage(path));
    if (error == FileSystemNative::kTooLarge)
        throw QorError(QStringLiteral("Файл \"%1\" слишком велик: программа читает файлы не больше "
                                      "%2 МБ")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(FileSystem::kMaxReadSize >> 20));
#ifndef Q_OS_WIN
    // Windows tells a missing folder from a missing file; so do we.
    if (error == ENOENT && !QFileInfo(QFileInfo(path).absolutePath()).isDir())
        FileErrors::raiseCode(3);
#endif
    FileErrors::raiseNative(error);
}

} // namespace

namespace FileSystem {

QString notRegularFileMessage(const QString &path)
{
    return QStringLiteral("\"%1\" не является обычным файлом (это ссылка, канал или устройство): "
                          "программа его не открывает")
        .arg(QDir::toNativeSeparators(path));
}

QString programFolder()
{
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

QString joinPath(const QString &folder, const QString &fileName)
{
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator()))
        return folder + fileName;
    return folder + QDir::separator() + fileName;
}

bool fitsFileName(const QString &fileName)
{
    constexpr qsizetype kNameMax = 255;
#ifdef Q_OS_WIN
    return fileName.size() <= kNameMax;
#else
    return QFile::encodeName(fileName).size() <= kNameMax;
#endif
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

FileSystemNative::FileStamp stamp(const QString &path)
{
    return FileSystemNative::stamp(path);
}

bool anythingExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QByteArray readWhole(const QString &path)
{
    int error = injected(Step::Open, path);
    std::FILE *file =
        error ? nullptr : FileSystemNative::open(path, FileSystemNative::Mode::Read, error);
    if (!file)
        failToOpen(path, error);

    // Read straight into the array, sized once (a byte more, for the read that finds the end); a
    // file that grows or shrinks meanwhile is read as far as it goes.
    QByteArray bytes;
    bytes.resize(qsizetype(qMin<qint64>(QFileInfo(path).size(), 1 << 30)) + 1);
    FileSystemNative::preferLargePages(bytes.data(), bytes.size());
    qsizetype used = 0;
    for (;;) {
        if ((error = injected(Step::Read, path)))
            failAndClose(file, error);
        if (used == bytes.size())
            bytes.resize(used + kChunkSize);
        const size_t wanted = size_t(qMin(kChunkSize, bytes.size() - used));
        FileSystemNative::resetStdioError();
        const size_t n = std::fread(bytes.data() + used, 1, wanted, file);
        used += qsizetype(n);
        if (n < wanted) {
            if (std::ferror(file))
                failAndClose(file, stdioFailure());
            break;
        }
    }
    bytes.resize(used);
    std::fclose(file); // nothing was written: closing cannot lose anything
    return bytes;
}

// Writes the pieces next gives to an open file, flushes, syncs and closes it; closes it on every
// path.
static void writeAndClose(std::FILE *file, const QString &path,
                          const std::function<bool(QByteArray &)> &next)
{
    int error = 0;
    for (QByteArray bytes;;) {
        try {
            if (!next(bytes))
                break;
        } catch (...) {
            std::fclose(file);
            throw;
        }
        for (qsizetype done = 0; done < bytes.size();) {
            const size_t chunk = size_t(qMin(kChunkSize, bytes.size() - done));
            if ((error = injected(Step::Write, path)))
                failAndClose(file, error);
            FileSystemNative::resetStdioError();
            if (std::fwrite(bytes.constData() + done, 1, chunk, file) != chunk)
                failAndClose(file, stdioFailure());
            done += qsizetype(chunk);
        }
    }

    if ((error = injected(Step::Flush, path)))
        failAndClose(file, error);
    FileSystemNative::resetStdioError();
    if (std::fflush(file) != 0)
        failAndClose(file, stdioFailure());

    error = injected(Step::Sync, path);
    if (error == kSkip)
        error = 0;
    else if (!error)
        error = FileSystemNative::syncFile(file);
    if (error)
        failAndClose(file, error);

    if ((error = injected(Step::Close, path))) {
        std::fclose(file);
        FileErrors::raiseNative(error);
    }
    FileSystemNative::resetStdioError();
    if (std::fclose(file) != 0)
        FileErrors::raiseNative(stdioFailure());
}

// The pieces of bytes that is written whole: itself, once.
static std::function<bool(QByteArray &)> once(const QByteArray &bytes)
{
    return [&bytes, given = false](QByteArray &piece) mutable {
        if (given)
            return false;
        piece = bytes;
        given = true;
        return true;
    };
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    writeWhole(path, once(bytes));
}

void writeWhole(const QString &path, const std::function<bool(QByteArray &)> &next)
{
    clearReadOnly(path);

    int error = injected(Step::Open, path);
    std::FILE *file =
        error ? nullptr : FileSystemNative::open(path, FileSystemNative::Mode::Write, error);
    if (!file)
        failToOpen(path, error);
    writeAndClose(file, path, next);
}

void appendWhole(const QString &path, const QByteArray &bytes)
{
    const QFileInfo before(path);
    const bool existed = before.exists();
    const qint64 size = before.size();
    int error = injected(Step::Open, path);
    std::FILE *file =
        error ? nullptr : FileSystemNative::open(path, FileSystemNative::Mode::Append, error);
    if (!file)
        failToOpen(path, error);
    try {
        writeAndClose(file, path, once(bytes));
    } catch (const QorFileError &) {
        // A log holds whole entries only: what this append wrote is taken back.
        if (existed)
            QFile::resize(path, size);
        else
            QFile::remove(path);
        throw;
    }
}

void renameOver(const QString &source, const QString &target)
{
    int error = injected(Step::Rename, target);
    if (!error)
        error = FileSystemNative::renameOver(source, target);
    if (error)
        FileErrors::raiseNative(error);
}

void syncFolder(const QString &folder)
{
    int error = injected(Step::SyncFolder, folder);
    if (error == kSkip)
        return;
    if (!error)
        error = FileSystemNative::syncFolder(folder);
    if (error)
        FileErrors::raiseNative(error);
}

void saveWhole(const QString &target, const QByteArray &bytes, const QString &tempPath)
{
    writeWhole(tempPath, bytes);
    renameOver(tempPath, target);
    syncFolder(QFileInfo(target).absolutePath());
}

void clearReadOnly(const QString &path)
{
    int error = injected(Step::ClearReadOnly, path);
    if (!error)
        error = FileSystemNative::clearReadOnly(path);
    if (error)
        FileErrors::raiseNative(error);
}

void removeFile(const QString &path)
{
    int error = injected(Step::Remove, path);
    if (!error)
        error = FileSystemNative::removeFile(path);
    if (error)
        FileErrors::raiseNative(error);
}

void hardLink(const QString &existing, const QString &newName)
{
    int error = injected(Step::Link, newName);
    if (!error)
        error = FileSystemNative::hardLink(existing, newName);
    if (error)
        FileErrors::raiseNative(error);
}

void makeHiddenFolder(const QString &path)
{
    if (const int error = injected(Step::MakeFolder, path))
        FileErrors::raiseNative(error);
    if (QFileInfo(path).isDir())
        return;
    if (!QDir().mkpath(path))
        FileErrors::raiseCode(5); // "В доступе к файлу отказано": Qt keeps the reason to itself
    if (const int error = FileSystemNative::hideFolder(path))
        FileErrors::raiseNative(error);
}

bool moveToTrash(const QString &path)
{
    if (injected(Step::Remove, path))
        return false;
#ifndef Q_OS_WIN
    // Without the user's data folder Qt cannot make its trash, and then puts the file into a
    // "files" folder below the current one: the trash gets its home first.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
#endif
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return false;
    if (QFileInfo(inTrash).isAbsolute())
        return true;
    QFile::rename(inTrash, path); // not a trash anyone would look in
    return false;
}

QStringList listFiles(const QString &folder, const QString &suffix)
{
#ifdef Q_OS_WIN
    const QDir::Filters filters = QDir::Files; // hidden and system files stay out, as always
#else
    const QDir::Filters filters = QDir::Files | QDir::Hidden; // "." names are ordinary here
#endif
    QStringList names;
    const QStringList all = QDir(folder).entryList(filters, QDir::Unsorted);
    for (const QString &name : all) {
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

QStringList namesOutsideSystemEncoding(const QString &folder, const QString &suffix)
{
    QStringList names;
#ifndef Q_OS_WIN
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        QStringDecoder system(QStringDecoder::System, QStringDecoder::Flag::Stateless);
        const QString decoded = system.decode(name);
        if (system.hasError() && decoded.endsWith(suffix, Qt::CaseInsensitive))
            names.append(Cp1251::decode(name));
    }
    ::closedir(dir);
    names.sort();
#else
    Q_UNUSED(folder);
    Q_UNUSED(suffix);
#endif
    return names;
}

void setFaultHook(FaultHook hook)
{
    faultHook() = std::move(hook);
}

} // namespace FileSystem
