#include "app/ErrorBox.h"

#include "app/AppTitle.h"
#include "platform/Cp1251.h"
#include "platform/Dialogs.h"
#include "platform/QorError.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ErrorBox {

QString withFullStop(const QString &message)
{
    if (message.isEmpty())
        return message;
    const QString last = message.right(1);
    // A character Windows-1251 cannot hold sorts after every byte.
    const bool sortsAfterDot =
        !Cp1251::canEncode(last) || static_cast<unsigned char>(Cp1251::encode(last).at(0)) > '.';
    return sortsAfterDot ? message + u'.' : message;
}

void showStandard(const QString &message)
{
    Dialogs::instance().error(applicationTitle(), withFullStop(message));
}

void showCaught(const QString &message)
{
    Dialogs::instance().error(applicationTitle(), message);
}

QString fatalText(const QString &kindName, const QString &moduleName, quintptr address,
                  const QString &message)
{
    return QStringLiteral("Исключительная ситуация %1 в модуле %2 по адресу %3.\r\n%4%5\r\n")
        .arg(kindName, moduleName,
             QStringLiteral("%1").arg(quint64(address), 8, 16, QLatin1Char('0')).toUpper(), message,
             message.endsWith(u'.') ? QString() : QStringLiteral("."));
}

void showFatal(const std::exception &error)
{
    const auto *qor = dynamic_cast<const QorError *>(&error);
    const QString kind = qor ? qor->kindName() : QStringLiteral("Exception");
    const QString message = qor ? qor->message() : QString::fromLocal8Bit(error.what());
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    Dialogs::instance().message(QStringLiteral("Ошибка приложения"),
                                fatalText(kind, module, quintptr(&error), message),
                                Dialogs::Icon::Error, Dialogs::Buttons::Ok);
}

} // namespace ErrorBox
