#include "platform/Launcher.h"

#ifdef Q_OS_WIN

#include "platform/QorError.h"

#include <QDebug>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// The system's text for a COM error, or "Ошибка OLE %.8x" when it has none.
[[noreturn]] void raiseComError(HRESULT result)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    LocalFree(buffer);
    if (text.isEmpty())
        text = QStringLiteral("Ошибка OLE %1")
                   .arg(QString::number(quint32(result), 16).rightJustified(8, u'0').toUpper());
    throw QorError(text);
}

// COM for this thread for the lifetime of the scope; harmless when it is already there (the
// windows of Qt have it), needed where it is not (the installation routine under test).
class ComScope
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }

private:
    HRESULT m_result;
};

// Releases a COM interface on every path out of a scope.
template <typename T> struct ComPointer
{
    T *p = nullptr;
    ~ComPointer()
    {
        if (p)
            p->Release();
    }
};

} // namespace

QString Launcher::fileName(const QString &title)
{
    return title + QStringLiteral(".lnk");
}

void Launcher::save(const QString &path) const
{
    const ComScope com;
    ComPointer<IShellLinkW> link;
    const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, reinterpret_cast<void **>(&link.p));
    if (FAILED(created))
        raiseComError(created);
    ComPointer<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file.p))))
        throw QorError(QStringLiteral("Интерфейс не поддерживается"));

    // The results of the settings and of the save are not examined: a launcher that cannot be
    // saved is missing, and only the diagnostics output says so.
    link.p->SetArguments(wide(arguments));
    link.p->SetPath(wide(targetPath));
    link.p->SetWorkingDirectory(wide(workingFolder));
    link.p->SetDescription(wide(description));
    if (FAILED(file.p->Save(wide(path), FALSE)))
        qWarning().noquote() << "launcher not saved:" << path;
}

#endif
