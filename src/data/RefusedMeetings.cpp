#include "data/RefusedMeetings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

RefusedMeetings &RefusedMeetings::instance()
{
    static RefusedMeetings refused;
    return refused;
}

QString RefusedMeetings::keyOf(const QString &path)
{
    const QString key = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
#ifdef Q_OS_WIN
    return key.toLower(); // one file, however its name is spelled
#else
    return key;
#endif
}

void RefusedMeetings::add(const QString &meetingFile)
{
    m_files.insert(keyOf(meetingFile));
}

void RefusedMeetings::remove(const QString &meetingFile)
{
    m_files.remove(keyOf(meetingFile));
}

bool RefusedMeetings::contains(const QString &meetingFile) const
{
    const QString key = keyOf(meetingFile);
    if (m_files.contains(key))
        return true;
    const auto stamp = m_stamps.constFind(key);
    return stamp != m_stamps.cend() && !(*stamp == stampOf(meetingFile));
}

void RefusedMeetings::remember(const QString &meetingFile)
{
    m_stamps.insert(keyOf(meetingFile), stampOf(meetingFile));
}

RefusedMeetings::Stamp RefusedMeetings::stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // Replacing a file changes its time of change even when the copy keeps size and date.
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch(),
            info.metadataChangeTime().toMSecsSinceEpoch()};
}
