#include "data/ReferenceList.h"

#include <utility>

namespace {

// Case folding as the Russian locale does it: Latin and Cyrillic letters only, one character
// for one, so that no other character (a TAB, a digit, a Greek letter) ever equals another.
bool inFoldedRange(char32_t c)
{
    return (c >= 0x00C0 && c <= 0x024F) || (c >= 0x0400 && c <= 0x052F);
}

char16_t folded(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    if (!inFoldedRange(c))
        return c;
    // A letter whose lower case leaves its script (the Turkish dotted I) stays as it is.
    const char32_t lower = QChar::toLower(char32_t(c));
    return inFoldedRange(lower) ? char16_t(lower) : c;
}

} // namespace

ReferenceList::ReferenceList(QList<ReferenceEntry> entries) : m_entries(std::move(entries)) {}

bool ReferenceList::equalIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    const char16_t *pa = a.utf16();
    const char16_t *pb = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (pa[i] != pb[i] && folded(pa[i]) != folded(pb[i]))
            return false;
    }
    return true;
}

bool ReferenceList::isObsoleteText(QStringView text)
{
    return !text.isEmpty() && text.front() == u'-';
}

int ReferenceList::indexOfKey(QStringView key) const
{
    for (int i = 0; i < count(); ++i) {
        if (equalIgnoringCase(m_entries.at(i).key, key))
            return i;
    }
    return -1;
}

int ReferenceList::indexOfText(QStringView text) const
{
    for (int i = 0; i < count(); ++i) {
        if (equalIgnoringCase(m_entries.at(i).text, text))
            return i;
    }
    return -1;
}

QString ReferenceList::textOfKey(QStringView key) const
{
    if (key.isEmpty())
        return QString();
    const int i = indexOfKey(key);
    return i < 0 ? QString() : m_entries.at(i).text;
}

QString ReferenceList::keyOfText(QStringView text) const
{
    const int i = indexOfText(text);
    return i < 0 ? QString() : m_entries.at(i).key;
}

bool ReferenceList::containsKey(QStringView key) const
{
    return indexOfKey(key) >= 0;
}
