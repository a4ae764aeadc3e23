#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <unordered_set>

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
    // The same for a key held as Windows-1251 bytes, as cards hold them; without allocating.
    bool containsKeyBytes(QByteArrayView key) const;
    int indexOfKey(QStringView key) const;   // -1 when none
    int indexOfText(QStringView text) const; // -1 when none

    int count() const { return int(m_entries.size()); }
    const ReferenceEntry &at(int index) const { return m_entries.at(index); }
    const QList<ReferenceEntry> &entries() const { return m_entries; }

    // An entry of the old list: its text begins with "-".
    static bool isObsoleteText(QStringView text);

    // The comparison all lookups use.
    static bool equalIgnoringCase(QStringView a, QStringView b);
    // Whether every word of query begins some word of text, in any order: letter case and
    // "ё/е" ignored; blanks, quotes, «», brackets and other marks only part the words.
    static bool matchesWords(QStringView text, QStringView query);

private:
    static QString folded(QStringView text);

    QList<ReferenceEntry> m_entries;
    // The first entry of each key and text, by their folded forms: a lookup costs one hash,
    // not a walk over the list (the list tests look up three keys per card written).
    QHash<QString, int> m_keyIndex;
    QHash<QString, int> m_textIndex;
    // The keys as they are, the usual case: keys of up to eight bytes packed in a number, by
    // their length.
    std::array<std::unordered_set<quint64>, 9> m_shortKeyBytes;
    std::unordered_set<std::string> m_keyBytes;
    std::unordered_set<std::string> m_foldedKeyBytes;
};
