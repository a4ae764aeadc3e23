#include "data/ReferenceList.h"

#include "platform/Cp1251.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Case folding as the Russian locale does it: Latin and Cyrillic letters only, one character
// for one, so that no other character (a TAB, a digit, a Greek letter) ever equals another.
bool inFoldedRange(char32_t c)
{
    return (c >= 0x00C0 && c <= 0x024F) || (c >= 0x0400 && c <= 0x052F);
}

char16_t foldedChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    if (!inFoldedRange(c))
        return c;
    // A letter whose lower case leaves its script (the Turkish dotted I) stays as it is.
    const char32_t lower = QChar::toLower(char32_t(c));
    return inFoldedRange(lower) ? char16_t(lower) : c;
}

// For each Windows-1251 byte, the first byte whose character folds to the same one: keys held
// as bytes compare through it without regard to letter case.
struct ByteFolding
{
    std::array<char, 256> representative{};
    ByteFolding()
    {
        std::array<char16_t, 256> foldedOf{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            foldedOf[size_t(b)] =
                foldedChar(Cp1251::decode(QByteArrayView(&byte, 1)).at(0).unicode());
            representative[size_t(b)] = char(b);
            for (int first = 0; first < b; ++first) {
                if (foldedOf[size_t(first)] == foldedOf[size_t(b)]) {
                    representative[size_t(b)] = char(first);
                    break;
                }
            }
        }
    }
};

// Up to eight bytes in one number; keys are told apart by their length besides.
constexpr qsizetype kMostPacked = 8;

quint64 packed(QByteArrayView bytes)
{
    quint64 n = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        n |= quint64(quint8(bytes[i])) << (8 * i);
    return n;
}

void foldBytes(QByteArrayView bytes, std::string &out)
{
    static const ByteFolding folding;
    out.resize(size_t(bytes.size()));
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[size_t(i)] = folding.representative[quint8(bytes[i])];
}

} // namespace

ReferenceList::ReferenceList(QList<ReferenceEntry> entries) : m_entries(std::move(entries))
{
    // Walked backwards, so that where two entries fold alike the first one is kept.
    for (int i = int(m_entries.size()) - 1; i >= 0; --i) {
        m_keyIndex.insert(folded(m_entries.at(i).key), i);
        m_textIndex.insert(folded(m_entries.at(i).text), i);
    }
    std::string key;
    for (const ReferenceEntry &entry : m_entries) {
        if (Cp1251::canEncode(entry.key)) { // a key no card can hold needs no place here
            const QByteArray bytes = Cp1251::encode(entry.key);
            if (bytes.size() <= kMostPacked)
                m_shortKeyBytes[size_t(bytes.size())].insert(packed(QByteArrayView(bytes)));
            else
                m_keyBytes.insert(std::string(bytes.constData(), size_t(bytes.size())));
            foldBytes(QByteArrayView(bytes), key);
            m_foldedKeyBytes.insert(key);
        }
    }
}

QString ReferenceList::folded(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = foldedChar(text.at(i).unicode());
    return out;
}

bool ReferenceList::matchesWords(QStringView text, QStringView query)
{
    const auto words = [](QStringView from) {
        QString plain = folded(from).replace(u'ё', u'е');
        for (QChar &c : plain) {
            if (!c.isLetterOrNumber())
                c = u' ';
        }
        return plain.split(u' ', Qt::SkipEmptyParts);
    };
    const QStringList textWords = words(text);
    const QStringList queryWords = words(query);
    if (queryWords.isEmpty())
        return false;
    return std::all_of(queryWords.begin(), queryWords.end(), [&](const QString &wanted) {
        return std::any_of(textWords.begin(), textWords.end(),
                           [&](const QString &word) { return word.startsWith(wanted); });
    });
}

bool ReferenceList::equalIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    const char16_t *pa = a.utf16();
    const char16_t *pb = b.utf16();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (pa[i] != pb[i] && foldedChar(pa[i]) != foldedChar(pb[i]))
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
    return m_keyIndex.value(folded(key), -1);
}

int ReferenceList::indexOfText(QStringView text) const
{
    return m_textIndex.value(folded(text), -1);
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

bool ReferenceList::containsKeyBytes(QByteArrayView key) const
{
    if (key.size() <= kMostPacked) {
        if (m_shortKeyBytes[size_t(key.size())].count(packed(key)) > 0)
            return true;
    } else if (m_keyBytes.count(std::string(key.data(), size_t(key.size()))) > 0) {
        return true;
    }
    std::string folded;
    foldBytes(key, folded);
    return m_foldedKeyBytes.count(folded) > 0;
}
