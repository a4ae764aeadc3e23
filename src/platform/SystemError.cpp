#include "platform/SystemError.h"

#include "platform/FileErrors.h"
#include "platform/QorError.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace {

#ifndef Q_OS_WIN
constexpr int kDiskFull = 112; // ERROR_DISK_FULL

// The texts a Russian Windows gives for the codes an errno is turned into.
QString windowsText(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("Не удается найти указанный файл");
    case 3:
        return QStringLiteral("Системе не удается найти указанный путь");
    case 4:
        return QStringLiteral("Системе не удается открыть файл");
    case 5:
        return QStringLiteral("Отказано в доступе");
    case 6:
        return QStringLiteral("Неверный дескриптор");
    case 8:
        return QStringLiteral("Недостаточно памяти для обработки команды");
    case 17:
        return QStringLiteral("Системе не удается переместить файл на другой диск");
    case 32:
        return QStringLiteral("Процесс не может получить доступ к файлу, так как этот файл "
                              "занят другим процессом");
    case 80:
        return QStringLiteral("Файл существует");
    case 87:
        return QStringLiteral("Параметр задан неверно");
    case kDiskFull:
        return QStringLiteral("Недостаточно места на диске");
    case 145:
        return QStringLiteral("Папка не пуста");
    case 206:
        return QStringLiteral("Имя файла или его расширение имеет слишком большую длину");
    case 223:
        return QStringLiteral("Размер файла превышает допустимый предел, и файл не может быть "
                              "сохранен");
    case 1117:
        return QStringLiteral("Запрос не был выполнен из-за ошибки ввода/вывода на устройстве");
    default:
        return QString();
    }
}
#endif

QString withoutFinalStop(QString text)
{
    while (!text.isEmpty() && (text.back().unicode() <= 32 || text.back() == u'.'))
        text.chop(1);
    return text;
}

} // namespace

namespace SystemError {

int codeOfNative(int nativeError)
{
#ifdef Q_OS_WIN
    return nativeError;
#else
    const int code = FileErrors::windowsCodeOfErrno(nativeError);
    return code ? code : nativeError;
#endif
}

QString textOfNative(int nativeError)
{
#ifdef Q_OS_WIN
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(nativeError), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    const QString text = length ? QString::fromWCharArray(buffer, int(length)) : QString();
    LocalFree(buffer);
    return withoutFinalStop(text);
#else
    const int code = FileErrors::windowsCodeOfErrno(nativeError);
    return withoutFinalStop(code ? windowsText(code)
                                 : QString::fromLocal8Bit(std::strerror(nativeError)));
#endif
}

QString message(int code, const QString &text)
{
    return QStringLiteral("Системная ошибка.  Код: %1.\r\n%2").arg(QString::number(code), text);
}

void raiseNative(int nativeError)
{
    const int code = codeOfNative(nativeError);
    throw QorSystemError(message(code, textOfNative(nativeError)), code);
}

} // namespace SystemError
