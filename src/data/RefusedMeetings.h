#pragma once

#include <QSet>
#include <QString>

// The meeting files whose last load could not read every card (or could not be read at all).
// The table then lacks cards that the file still holds; before such a file is next replaced,
// it is kept beside it as "<file>.bak", so that those cards survive for repair.
class RefusedMeetings
{
public:
    static RefusedMeetings &instance(); // the program's own

    void add(const QString &meetingFile);
    void remove(const QString &meetingFile);
    bool contains(const QString &meetingFile) const;
    void clear() { m_files.clear(); }

private:
    static QString keyOf(const QString &path);

    QSet<QString> m_files;
};
