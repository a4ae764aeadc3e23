#include "data/RefusedMeetings.h"

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
    return m_files.contains(keyOf(meetingFile));
}
