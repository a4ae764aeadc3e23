#pragma once

#include <QString>
#include <exception>

// The one kind of failure the program raises: a Russian message for the user.
// Commands end where it is thrown; the command guard shows it in the standard error box.
class QorError : public std::exception
{
public:
    explicit QorError(QString message);

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    // The name shown as the error's kind in the fatal error box.
    virtual QString kindName() const { return QStringLiteral("QorError"); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failure of a file operation; the message is the runtime's text for the system error.
class QorFileError : public QorError
{
public:
    QorFileError(QString message, int code) : QorError(std::move(message)), m_code(code) {}
    int code() const noexcept { return m_code; }
    QString kindName() const override { return QStringLiteral("EInOutError"); }

private:
    int m_code;
};

// A failed system call outside file input and output, reported with the system's code and text:
// "Системная ошибка.  Код: %d.\r\n%s".
class QorSystemError : public QorError
{
public:
    QorSystemError(QString message, int code) : QorError(std::move(message)), m_code(code) {}
    int code() const noexcept { return m_code; }
    QString kindName() const override { return QStringLiteral("EOSError"); }

private:
    int m_code;
};
