#include "data/MeetingHistory.h"

#include "data/CardTable.h"
#include "data/CardTextFormat.h"
#include "data/MeetingFiles.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

const QLatin1String kDat(".dat");
const QString kNameFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
constexpr int kNameLength = 19; // "yyyyMMdd-HHmmss-zzz"

bool g_told = false;
bool g_keeping = true;

// Once per run: versions are not kept, and why. The save itself goes on.
void tellOnce(const QString &why)
{
    if (g_told)
        return;
    g_told = true;
    Dialogs::instance().warning(
        QStringLiteral("История заседания"),
        QStringLiteral("Прежние версии заседаний не сохраняются: %1\r\nЗаседания сохраняются "
                       "как обычно.")
            .arg(why));
}

// The time a version's file name holds ("20170315-143000-000.dat", "…-000-2.dat" for a second
// version of the same millisecond); invalid for any other name.
QDateTime timeOfName(const QString &fileName)
{
    if (!fileName.endsWith(kDat, Qt::CaseInsensitive) || fileName.size() < kNameLength + 4)
        return QDateTime();
    // Read digit by digit: QDateTime::fromString takes most of a thinning's time.
    const auto number = [&fileName](int from, int digits) {
        int value = 0;
        for (int i = from; i < from + digits; ++i) {
            const char16_t c = fileName.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if (fileName.at(8) != u'-' || fileName.at(15) != u'-')
        return QDateTime();
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime time(number(9, 2), number(11, 2), number(13, 2), number(16, 3));
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}

// The cards of a card file as they stand there, without their block numbers: the lines of each
// block but its "[n]" heading, keyed by the entry time.
QHash<QByteArray, QList<QByteArray>> cardsByEntryTime(const QByteArray &bytes)
{
    QHash<QByteArray, QList<QByteArray>> cards;
    QByteArray card;
    QByteArray key;
    const auto finish = [&] {
        if (!card.isEmpty() || !key.isEmpty())
            cards[key].append(card);
        card.clear();
        key.clear();
    };
    bool inCard = false;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + at, end - at);
        at = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[') && line.endsWith(']')) {
            if (inCard)
                finish();
            inCard = true;
            continue;
        }
        if (!inCard || line.isEmpty())
            continue;
        if (line.startsWith("@CHANGEDATE="))
            key = line.toByteArray();
        card.append(line.data(), line.size()).append('\n');
    }
    if (inCard)
        finish();
    return cards;
}

} // namespace

namespace MeetingHistory {

QString folderOf(const QString &folder, const QString &name)
{
    return FileSystem::joinPath(FileSystem::joinPath(folder, QStringLiteral(".history")), name) +
           QDir::separator();
}

QString versionFileName(const QDateTime &time)
{
    return time.toString(kNameFormat) + kDat;
}

void setKeeping(bool keeping)
{
    g_keeping = keeping;
}

void forgetNotice()
{
    g_told = false;
}

void keepVersion(const QString &meetingFile, const QString &historyFolder, qint64 newSize)
{
    if (!g_keeping || !FileSystem::fileExists(meetingFile))
        return;
    try {
        FileSystem::makeHiddenFolder(QFileInfo(QDir::cleanPath(historyFolder)).path());
        FileSystem::makeHiddenFolder(historyFolder);
        // Never two versions under one name: a second save in the same millisecond gets "-2".
        const QString stamp = versionFileName(Clock::now()).chopped(kDat.size());
        QString version = historyFolder + stamp + kDat;
        for (int n = 2; FileSystem::anythingExists(version); ++n)
            version = historyFolder + stamp + QLatin1Char('-') + QString::number(n) + kDat;
        try {
            FileSystem::hardLink(meetingFile, version);
        } catch (const QorError &) {
            // No links on this file system: a copy, but never dearer than the save itself.
            if (QFileInfo(meetingFile).size() > newSize)
                throw QorError(QStringLiteral("файловая система папки программы не поддерживает "
                                              "ссылки на файлы."));
            const QString temp = version + QStringLiteral(".tmp");
            FileSystem::writeWhole(temp, FileSystem::readWhole(meetingFile));
            FileSystem::renameOver(temp, version);
        }
    } catch (const QorError &e) {
        tellOnce(e.message());
    }
}

QList<Version> versions(const QString &historyFolder)
{
    QList<Version> list;
    for (const QString &name : FileSystem::listFiles(historyFolder, kDat)) {
        const QDateTime time = timeOfName(name);
        if (time.isValid())
            list.append({historyFolder + name, time});
    }
    std::sort(list.begin(), list.end(), [](const Version &a, const Version &b) {
        // Within one millisecond the later version has the longer name ("-2", "-3" ...).
        if (a.time != b.time)
            return a.time > b.time;
        return a.path.size() != b.path.size() ? a.path.size() > b.path.size() : a.path > b.path;
    });
    return list;
}

QList<int> thinnedOut(const QList<QDateTime> &times, const QDateTime &now)
{
    QList<int> order(times.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return times[a] > times[b]; });

    const QDateTime dayAgo = now.addDays(-1);
    const QDate oldestDay = now.date().addDays(-60);
    QSet<QDate> daysKept;
    QList<int> out;
    for (int rank = 0; rank < order.size(); ++rank) {
        const QDateTime &time = times[order[rank]];
        bool keep = rank < 20 || time > dayAgo;
        // The newest version of each day of the last 60 comes first in this order.
        if (!keep && time.date() > oldestDay && !daysKept.contains(time.date()))
            keep = true;
        if (keep)
            daysKept.insert(time.date());
        else
            out.append(order[rank]);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void thin(const QString &historyFolder, const QDateTime &now)
{
    const QList<Version> all = versions(historyFolder);
    QList<QDateTime> times;
    times.reserve(all.size());
    for (const Version &v : all)
        times.append(v.time);
    for (int index : thinnedOut(times, now)) {
        try {
            FileSystem::removeFile(all.at(index).path);
        } catch (const QorError &) {
            // Stays for the next thinning; a version too many loses nothing.
        }
    }
}

namespace {

// The cards of a card file as the program writes them, or nothing when it does not read back
// whole: the same values always give the same bytes, however the file spelled them.
std::optional<QByteArray> normalized(const QByteArray &cardFile, int *cards = nullptr)
{
    const Dialogs::Silenced quiet; // a damaged version is listed as such, not in boxes
    CardTable table;
    try {
        if (ReadCardsFrom(table, cardFile, QString()) > 0)
            return std::nullopt;
    } catch (const QorError &) {
        return std::nullopt;
    }
    if (cards)
        *cards = table.totalCount();
    return CardFileBytes(table);
}

} // namespace

void thinAfterSave(const QString &historyFolder, const QDateTime &now)
{
    static QHash<QString, QDateTime> lastThinned;
    const QDateTime last = lastThinned.value(historyFolder);
    if (last.isValid() && last <= now && last.secsTo(now) < 600)
        return;
    lastThinned.insert(historyFolder, now);
    thin(historyFolder, now);
}

Comparer::Comparer(const QByteArray &current)
    : m_current(cardsByEntryTime(normalized(current).value_or(QByteArray())))
{}

Comparison Comparer::compare(const QByteArray &version) const
{
    Comparison result;
    const std::optional<QByteArray> bytes = normalized(version, &result.cards);
    if (!bytes) {
        result.damaged = true;
        return result;
    }
    const auto before = cardsByEntryTime(*bytes);
    auto now = m_current;
    for (auto it = before.begin(); it != before.end(); ++it) {
        QList<QByteArray> &same = now[it.key()];
        for (const QByteArray &card : it.value()) {
            if (const qsizetype at = same.indexOf(card); at >= 0) {
                same.removeAt(at); // unchanged
            } else if (!same.isEmpty()) {
                same.removeFirst();
                ++result.changed;
            } else {
                ++result.removed;
            }
        }
    }
    for (const QList<QByteArray> &left : std::as_const(now))
        result.added += int(left.size());
    return result;
}

void restore(const QString &meetingFile, const QString &historyFolder, const QString &version)
{
    const QByteArray bytes = FileSystem::readWhole(version);
    if (!normalized(bytes))
        throw QorError(QStringLiteral("Версия \"%1\" повреждена и не может быть восстановлена!")
                           .arg(QFileInfo(version).fileName()));
    keepVersion(meetingFile, historyFolder, bytes.size());
    FileSystem::saveWhole(meetingFile, bytes, meetingTempPath(meetingFile));
}

} // namespace MeetingHistory
