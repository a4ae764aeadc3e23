#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// One entry of a reference list: what the user sees and the code stored in the card.
struct ReferenceEntry
{
    QString text;
    QString key;
};

// An ordered list of (display text, key) pairs. Every equality test ignores letter case with
// Russian case folding for Cyrillic and Latin letters; every other character, a trailing TAB
// included, must match.
class ReferenceList
{
public:
    ReferenceList() = default;
    explicit ReferenceList(QList<ReferenceEntry> entries);

    // The text of the first entry whose key equals key; empty when key is empty or unknown.
    QString textOfKey(QStringView key) const;
    // The key of the first entry whose text equals text; empty when none does.
    QString keyOfText(QStringView text) const;
    bool containsKey(QStringView key) const;
    int indexOfKey(QStringView key) const;   // -1 when none
    int indexOfText(QStringView text) const; // -1 when none

    int count() const { return int(m_entries.size()); }
    const ReferenceEntry &at(int index) const { return m_entries.at(index); }
    const QList<ReferenceEntry> &entries() const { return m_entries; }

    // An entry of the old list: its text begins with "-".
    static bool isObsoleteText(QStringView text);

    // The comparison all lookups use.
    static bool equalIgnoringCase(QStringView a, QStringView b);

private:
    QList<ReferenceEntry> m_entries;
};
