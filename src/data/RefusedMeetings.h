#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// The meeting files whose last load could not read every card (or could not be read at all).
// The table then lacks cards that the file still holds; before such a file is next replaced,
// it is kept beside it as "<file>.bak", so that those cards survive for repair.
//
// So is a file that someone else changed, replaced or created since this program last read or
// wrote it: it is remembered by its size and times, and one found otherwise counts as refused.
class RefusedMeetings
{
public:
    static RefusedMeetings &instance(); // the program's own

    void add(const QString &meetingFile);
    void remove(const QString &meetingFile);
    // Refused, or no longer as remembered. A file never remembered counts as unchanged.
    bool contains(const QString &meetingFile) const;
    // The file as it is now (also its absence) is this program's own.
    void remember(const QString &meetingFile);
    void clear()
    {
        m_files.clear();
        m_stamps.clear();
    }

private:
    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
        qint64 changed = 0;
        bool operator==(const Stamp &o) const
        {
            return exists == o.exists && size == o.size && modified == o.modified &&
                   changed == o.changed;
        }
    };
    static QString keyOf(const QString &path);
    static Stamp stampOf(const QString &path);

    QSet<QString> m_files;
    QHash<QString, Stamp> m_stamps;
};
