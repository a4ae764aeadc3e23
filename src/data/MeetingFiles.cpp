#include "data/MeetingFiles.h"

#include "data/CardOrder.h"
#include "data/CardTable.h"
#include "data/CardTextFormat.h"
#include "data/MeetingHistory.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QFileInfo>
#include <algorithm>
#include <future>
#include <optional>

namespace {

const QLatin1String kDat(".dat");
const QLatin1String kTmp(".tmp");

// Shows every card for the lifetime of the guard, then puts the filter back.
class LiftedFilter
{
public:
    explicit LiftedFilter(CardTable &table) : m_table(table), m_filter(table.filter())
    {
        if (!m_filter.isEmpty())
            m_table.setFilter(QString());
    }
    ~LiftedFilter()
    {
        if (m_filter.isEmpty())
            return;
        try {
            m_table.setFilter(m_filter);
        } catch (...) {
            // The expression was the table's own a moment ago and the table is browsing:
            // nothing can fail here, and nothing may be thrown from a destructor.
        }
    }
    LiftedFilter(const LiftedFilter &) = delete;
    LiftedFilter &operator=(const LiftedFilter &) = delete;

private:
    CardTable &m_table;
    QString m_filter;
};

// Keeps the meeting file as it is in a backup beside it. An older backup with other content is
// never overwritten: the next free name is taken.
void keepBackup(const QString &meetingFile)
{
    if (!FileSystem::fileExists(meetingFile))
        return;
    const QByteArray bytes = FileSystem::readWhole(meetingFile);
    QString backup = meetingBackupPath(meetingFile);
    for (int n = 2; FileSystem::anythingExists(backup); ++n) {
        if (FileSystem::fileExists(backup) && FileSystem::readWhole(backup) == bytes)
            return;
        backup = meetingBackupPath(meetingFile, n);
    }
    FileSystem::saveWhole(backup, bytes, backup + kTmp);
}

QString threeLineMessage(int refused)
{
    return QStringLiteral("Несколько записей (%1) не были загружены из-за ошибок!").arg(refused) +
           QLatin1String("\r\n") +
           QStringLiteral("Во избежание потери данных не рекомендуется проводить изменение и "
                          "ввод новых карточек!") +
           QLatin1String("\r\n") + QStringLiteral("Обратитесь к разработчику.");
}

} // namespace

QString MeetingNameOf(const QString &fileName)
{
    qsizetype slash = fileName.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    slash = qMax(slash, fileName.lastIndexOf(u'\\'));
#endif
    const QString name = fileName.mid(slash + 1);

    int words = 0;
    qsizetype lastStart = -1;
    qsizetype lastEnd = -1;
    for (qsizetype i = 0; i < name.size();) {
        if (name.at(i) == u'.') {
            ++i;
            continue;
        }
        lastStart = i;
        while (i < name.size() && name.at(i) != u'.')
            ++i;
        lastEnd = i;
        ++words;
    }
    if (words < 2)
        return name;
    return name.left(lastStart - 1) + name.mid(lastEnd);
}

QStringList ListMeetings(const QString &folder)
{
    QStringList files = FileSystem::listFiles(folder, kDat);
    // The alphabetical order of the card list: letter case decides only between names that
    // differ in nothing else, so that the order is always the same.
    std::sort(files.begin(), files.end(),
              [](const QString &a, const QString &b) { return CardOrder::compareTexts(a, b) < 0; });
    QStringList names;
    names.reserve(files.size());
    for (const QString &file : std::as_const(files))
        names.append(MeetingNameOf(file));
    return names;
}

QString meetingFilePath(const QString &folder, const QString &name)
{
    const QString fileName = name + kDat;
    const QString exact = FileSystem::joinPath(folder, fileName);
    if (FileSystem::anythingExists(exact))
        return exact;
    // A file system that tells letter case apart: find the file however its name is spelled,
    // the meeting name spelled exactly first ("b" is b.DAT, not B.dat, when both are there).
    QStringList candidates = FileSystem::listFiles(folder, kDat);
    candidates.sort();
    for (const QString &candidate : std::as_const(candidates)) {
        if (QStringView(candidate).chopped(kDat.size()) == name)
            return FileSystem::joinPath(folder, candidate);
    }
    for (const QString &candidate : std::as_const(candidates)) {
        if (candidate.compare(fileName, Qt::CaseInsensitive) == 0)
            return FileSystem::joinPath(folder, candidate);
    }
    return exact;
}

QString meetingTempPath(const QString &meetingFile)
{
    return meetingFile.chopped(kDat.size()) + kTmp;
}

QString meetingBackupPath(const QString &meetingFile, int number)
{
    const QString suffix =
        QLatin1String(".bak") + (number > 1 ? QString::number(number) : QString());
    // A meeting whose file name is as long as the file system allows would have no backup, and
    // its save would fail: then the backup takes a shorter name, with room for its own
    // temporary file.
    const QFileInfo file(meetingFile);
    QString name = file.fileName();
    const QString ending = name.right(kDat.size());
    name.chop(kDat.size());
    while (name.size() > 1 && !FileSystem::fitsFileName(name + ending + suffix + kTmp))
        name.chop(1);
    return FileSystem::joinPath(file.path(), name + ending + suffix);
}

void SaveMeeting(CardTable &table, const ReferenceLists &lists, const QString &folder,
                 const QString &name, RefusedMeetings &refused)
{
    const QString file = meetingFilePath(folder, name);
    const QString temp = meetingTempPath(file);
    table.settle(); // a pending change is posted (or dropped) before the filter is lifted
    {
        ScopedViewUpdates views(table);
        ScopedCurrentCard current(table);
        LiftedFilter everyCard(table);
        WriteCards(table, lists, temp);
    }

    if (refused.contains(file)) {
        keepBackup(file);
        refused.remove(file);
    }

    const bool replacing = FileSystem::anythingExists(file);
    const QString history = MeetingHistory::folderOf(folder, name);
    if (replacing)
        MeetingHistory::keepVersion(file, history, QFileInfo(temp).size());
    try {
        FileSystem::renameOver(temp, file);
    } catch (const QorFileError &) {
        throw QorError(
            replacing ? QStringLiteral("Не удалось переписать файл \"%1\"!").arg(file)
                      : QStringLiteral("Не удалось сохранить данные в файл \"%1\"!").arg(file));
    }
    refused.remember(file);
    FileSystem::syncFolder(QFileInfo(file).absolutePath());
    if (replacing)
        MeetingHistory::thinAfterSave(history, Clock::now());
}

namespace {

// The one meeting read ahead.
struct Preload
{
    QString file;
    FileSystemNative::FileStamp stamp;
    std::future<std::vector<CardRecord>> cards;
};

Preload &preload()
{
    static Preload ahead;
    return ahead;
}

// The cards read ahead from file, when they were read from it as it is now.
std::optional<std::vector<CardRecord>> takePreload(const QString &file)
{
    Preload &ahead = preload();
    if (!ahead.cards.valid())
        return std::nullopt;
    std::future<std::vector<CardRecord>> cards = std::move(ahead.cards);
    if (ahead.file != file || !(ahead.stamp == FileSystem::stamp(file)))
        return std::nullopt; // the reading ends with the future
    return cards.get();
}

} // namespace

void PreloadMeeting(const QString &folder, const QString &name)
{
    if (name.isEmpty())
        return;
    Preload &ahead = preload();
    ahead.file = meetingFilePath(folder, name);
    ahead.stamp = FileSystem::stamp(ahead.file);
    ahead.cards = std::async(std::launch::async, [file = ahead.file] {
        const QByteArray bytes = FileSystem::readWhole(file);
        return ParseCards(bytes, file);
    });
}

void LoadMeeting(CardTable &table, const QString &folder, const QString &name,
                 RefusedMeetings &refused)
{
    QString file;
    int dropped = 0;
    {
        ScopedHandlerDisconnect afterPost(table, CardTable::Handler::AfterPost);
        ScopedHandlerDisconnect afterDelete(table, CardTable::Handler::AfterDelete);
        ScopedViewUpdates views(table);
        table.empty();
        if (name.isEmpty()) // no meeting: never the file ".dat"
            return;
        file = meetingFilePath(folder, name);
        refused.remember(file);
        if (!FileSystem::fileExists(file))
            return;
        try {
            if (std::optional<std::vector<CardRecord>> cards = takePreload(file))
                dropped = PostCards(table, std::move(*cards));
            else
                dropped = ReadCards(table, file);
        } catch (const QorError &) {
            refused.add(file); // nothing of it is in the table: a save must not lose it
            throw;
        }
        table.first();
    }
    if (dropped == 0) {
        refused.remove(file);
        return;
    }
    refused.add(file);
    throw QorError(threeLineMessage(dropped));
}
