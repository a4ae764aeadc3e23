#include "ui/controls/Cp1251Validator.h"

#include "platform/Cp1251.h"

QValidator::State Cp1251Validator::validate(QString &input, int &) const
{
    if (!Cp1251::canEncode(input))
        return Invalid;
    if (m_upper)
        input = toUpper(input);
    return Acceptable;
}

QString Cp1251Validator::toUpper(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const QChar upper = c.toUpper();
        // One character for one, and only into a capital the code page holds ("µ" stays).
        if (upper != c && Cp1251::canEncode(QString(upper)))
            c = upper;
    }
    return out;
}
