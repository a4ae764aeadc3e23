#include "data/CardFilter.h"

#include "platform/QorError.h"

#include <QRegularExpression>

namespace {

[[noreturn]] void refuse(const QString &expression)
{
    throw QorError(QStringLiteral("Неверное условие фильтра \"%1\": допускаются только "
                                  "\"FTYPE=число\" и \"PODKOM=число\", соединённые через \" and \"")
                       .arg(expression));
}

} // namespace

CardFilter CardFilter::parse(const QString &expression)
{
    CardFilter filter;
    if (expression.trimmed().isEmpty())
        return filter;

    static const QRegularExpression joiner(QStringLiteral("\\s+and\\s+"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression term(
        QStringLiteral("^\\s*(FTYPE|PODKOM)\\s*=\\s*(-?\\d{1,10})\\s*$"),
        QRegularExpression::CaseInsensitiveOption);

    const QStringList parts = expression.split(joiner);
    if (parts.size() > 2)
        refuse(expression);
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = term.match(part);
        if (!m.hasMatch())
            refuse(expression);
        const int field = m.captured(1).compare(QLatin1String("FTYPE"), Qt::CaseInsensitive) == 0
                              ? CardFields::FTYPE
                              : CardFields::PODKOM;
        filter.m_terms.push_back({field, m.captured(2).toLongLong()});
    }
    return filter;
}

CardFilter::Keys CardFilter::keysOf(const CardRecord &card)
{
    Keys keys;
    keys.hasFtype = card.hasValue(CardFields::FTYPE);
    keys.hasPodkom = card.hasValue(CardFields::PODKOM);
    if (keys.hasFtype)
        keys.ftype = qint64(card.number(CardFields::FTYPE));
    if (keys.hasPodkom)
        keys.podkom = qint64(card.number(CardFields::PODKOM));
    return keys;
}

bool CardFilter::matches(const Keys &keys) const
{
    for (const Term &t : m_terms) {
        // A card without a value equals no number.
        const bool ftype = t.field == CardFields::FTYPE;
        if (!(ftype ? keys.hasFtype : keys.hasPodkom) ||
            (ftype ? keys.ftype : keys.podkom) != t.value)
            return false;
    }
    return true;
}
