#include "app/settings/NumberList.h"

#include <QStringList>

namespace NumberList {

std::optional<int> number(const QString &text)
{
    // Digits with an optional sign, nothing else: no blanks, no other bases.
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool sign = i == 0 && (c == u'-' || c == u'+') && text.size() > 1;
        if (!sign && (c < u'0' || c > u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < -kLimit || value > kLimit)
        return std::nullopt;
    return value;
}

QList<std::optional<int>> parse(const QString &text)
{
    QList<std::optional<int>> numbers;
    QString word;
    const auto endWord = [&] {
        if (!word.isEmpty())
            numbers.append(number(word));
        word.clear();
    };
    for (const QChar c : text) {
        if (c == u',' || c == u' ')
            endWord();
        else
            word += c;
    }
    endWord();
    return numbers;
}

int at(const QList<std::optional<int>> &numbers, int index, int fallback)
{
    if (index < 0 || index >= numbers.size() || !numbers.at(index))
        return fallback;
    return *numbers.at(index);
}

int toInt(const QString &text, int fallback)
{
    return number(text).value_or(fallback);
}

QString format(const QList<int> &numbers)
{
    QStringList words;
    for (const int n : numbers)
        words.append(QString::number(n));
    return words.join(u',');
}

} // namespace NumberList
