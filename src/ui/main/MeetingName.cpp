#include "ui/main/MeetingName.h"

#include "data/MeetingFiles.h"
#include "data/ReferenceList.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

namespace MeetingName {

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

bool isForbidden(QChar c)
{
    return QStringView(u"\"*/:<>?\\|").contains(c);
}

} // namespace

QString proposed(const QDate &today)
{
    return QStringLiteral("%1-Новое заседание").arg(today.year(), 4, 10, QLatin1Char('0'));
}

QString clean(const QString &entered)
{
    qsizetype begin = 0;
    qsizetype end = entered.size();
    while (begin < end && isBlankOrControl(entered.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(entered.at(end - 1)))
        --end;
    QString name;
    name.reserve(end - begin);
    for (qsizetype i = begin; i < end; ++i) {
        if (!isForbidden(entered.at(i)))
            name.append(entered.at(i));
    }
    return name.left(kMaxLength);
}

QString accept(const QString &entered, const QStringList &existing)
{
    QString name = clean(entered);
    // Where a file name counts bytes, 250 Cyrillic letters make no file: the name is cut to what
    // its meeting file can be called.
    while (!name.isEmpty() && !FileSystem::fitsFileName(name + QLatin1String(".dat")))
        name.chop(1);
    // A name of dots only would be stored as a file whose name gives another meeting name back:
    // at the next start its cards would seem lost. It counts as no name at all.
    if (name.isEmpty() || MeetingNameOf(name + QLatin1String(".dat")) != name)
        throw QorError(QStringLiteral("Вы не ввели никакого имени для отчета!"));
    // The name is the printed list's title, in Windows-1251: a meeting no list could be printed
    // for is refused now, as a card field refuses such a letter.
    const QString bad = Cp1251::firstUnencodableCharacter(name);
    if (!bad.isEmpty())
        throw QorError(QStringLiteral("Символ \"%1\" нельзя записать в название заседания: его "
                                      "нет в кодировке Windows-1251")
                           .arg(bad));
    for (const QString &other : existing) {
        if (ReferenceList::equalIgnoringCase(other, name))
            throw QorError(QStringLiteral("Такое название заседания уже существует!"));
    }
    return name;
}

} // namespace MeetingName
