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
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>

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

// The pieces of the meeting read ahead, handed over one by one as they are built: the load posts
// the first ones while the later ones are built. The reading stops once the load gives them up.
class HandedPieces : public CardPieceSource
{
public:
    // The reading side.
    void put(std::vector<CardRecord> piece, int expectedCards)
    {
        const std::lock_guard lock(m_mutex);
        m_pieces.push_back(std::move(piece));
        m_expectedCards = expectedCards;
        m_changed.notify_one();
    }
    void finish(std::exception_ptr failure)
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
        m_failure = std::move(failure);
        m_changed.notify_one();
    }
    bool givenUp() const { return m_givenUp; }

    // The load's side.
    bool next(std::vector<CardRecord> &piece) override
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_pieces.empty() || m_finished; });
        if (m_pieces.empty()) {
            if (m_failure)
                std::rethrow_exception(std::exchange(m_failure, nullptr));
            return false;
        }
        piece = std::move(m_pieces.front());
        m_pieces.pop_front();
        return true;
    }
    int expectedCards() const override
    {
        const std::lock_guard lock(m_mutex);
        return m_expectedCards;
    }
    void giveUp() { m_givenUp = true; }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<CardRecord>> m_pieces;
    int m_expectedCards = 0;
    bool m_finished = false;
    std::exception_ptr m_failure;
    std::atomic_bool m_givenUp = false;
};

// The one meeting read ahead.
struct Preload
{
    QString file;
    FileSystemNative::FileStamp stamp;
    std::shared_ptr<HandedPieces> pieces;
    std::future<void> reading; // waited for when it is replaced, and at the program's end

    ~Preload()
    {
        if (pieces)
            pieces->giveUp(); // a program that ends before its load does not wait for the reading
    }
};

Preload &preload()
{
    static Preload ahead;
    return ahead;
}

void readAhead(const QString &file, const std::shared_ptr<HandedPieces> &handed)
{
    try {
        const QByteArray bytes = FileSystem::readWhole(file);
        CardPieces pieces(bytes, file);
        for (std::vector<CardRecord> piece; !handed->givenUp() && pieces.next(piece);)
            handed->put(std::move(piece), pieces.expectedCards());
        handed->finish(nullptr);
    } catch (...) {
        handed->finish(std::current_exception());
    }
}

// The pieces read ahead from file, when they are read from it as it is now.
std::shared_ptr<HandedPieces> takePreload(const QString &file)
{
    Preload &ahead = preload();
    std::shared_ptr<HandedPieces> pieces = std::move(ahead.pieces);
    if (!pieces)
        return nullptr;
    if (ahead.file != file || !(ahead.stamp == FileSystem::stamp(file))) {
        pieces->giveUp();
        ahead.reading = {}; // the reading ends after the piece it is on
        return nullptr;
    }
    return pieces;
}

} // namespace

void PreloadMeeting(const QString &folder, const QString &name)
{
    if (name.isEmpty())
        return;
    Preload &ahead = preload();
    if (ahead.pieces)
        ahead.pieces->giveUp();
    ahead.reading = {};
    ahead.file = meetingFilePath(folder, name);
    ahead.stamp = FileSystem::stamp(ahead.file);
    ahead.pieces = std::make_shared<HandedPieces>();
    ahead.reading = std::async(std::launch::async, readAhead, ahead.file, ahead.pieces);
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
            if (const std::shared_ptr<HandedPieces> pieces = takePreload(file))
                dropped = PostCards(table, *pieces);
            else
                dropped = ReadCards(table, file);
        } catch (const QorError &) {
            table.empty(); // nothing of it stays in the table: a save must not lose the file
            refused.add(file);
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
