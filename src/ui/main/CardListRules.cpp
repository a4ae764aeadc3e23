#include "ui/main/CardListRules.h"

namespace CardListRules {

QString filterExpression(int ftypeIndex, const QString &ftypeKey, int podkomIndex,
                         const QString &podkomKey)
{
    QString expression;
    if (ftypeIndex > 0)
        expression = QStringLiteral("FTYPE=") + ftypeKey;
    if (podkomIndex > 0) {
        if (!expression.isEmpty())
            expression += QLatin1String(" and ");
        expression += QStringLiteral("PODKOM=") + podkomKey;
    }
    return expression;
}

QString sortFieldOfColumn(const QString &columnField)
{
    if (columnField.size() > 2 && columnField.at(1) == u'_')
        return columnField.mid(2);
    return columnField;
}

bool titleHasSortMarker(const QString &columnField, const QString &sortField)
{
    if (sortField.isEmpty())
        return false;
    return columnField == sortField || columnField == QLatin1String("C_") + sortField ||
           columnField == QLatin1String("L_") + sortField;
}

QString recordCountText(int count, bool filtered)
{
    QString text = QStringLiteral("Записей: ") + QString::number(count);
    if (filtered)
        text += QStringLiteral(" <<Установлен фильтр>>");
    return text;
}

} // namespace CardListRules
