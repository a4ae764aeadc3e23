#include "platform/WinRegistry.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>

#include <string>
#include <vector>

#ifdef _MSC_VER
#pragma comment(lib, "advapi32")
#endif

namespace {

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// Closes the key on every path out.
class KeyHandle
{
public:
    ~KeyHandle()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    HKEY *out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

LSTATUS openKey(const QString &keyPath, REGSAM access, KeyHandle &key)
{
    return RegOpenKeyExW(HKEY_CURRENT_USER, wide(joinKeyPath(keyPath)).c_str(), 0, access,
                         key.out());
}

} // namespace

bool WinRegistry::fail(long code)
{
    setErrorString(QStringLiteral("ошибка реестра %1").arg(code));
    return false;
}

RegistryBackend::Result WinRegistry::openResult(long code)
{
    if (code == ERROR_SUCCESS)
        return Result::Ok;
    if (code == ERROR_FILE_NOT_FOUND)
        return Result::Missing;
    fail(code);
    return Result::Failed;
}

RegistryBackend::Result WinRegistry::keyExists(const QString &keyPath)
{
    KeyHandle key;
    return openResult(openKey(keyPath, KEY_READ, key));
}

bool WinRegistry::createKey(const QString &keyPath)
{
    KeyHandle key;
    const LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, wide(joinKeyPath(keyPath)).c_str(), 0,
                                       nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr);
    return rc == ERROR_SUCCESS || fail(rc);
}

RegistryBackend::Result WinRegistry::readValue(const QString &keyPath, const QString &name,
                                               QString *text)
{
    KeyHandle key;
    if (const Result opened = openResult(openKey(keyPath, KEY_QUERY_VALUE, key));
        opened != Result::Ok)
        return opened;
    const std::wstring valueName = wide(name);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (const Result found = openResult(rc); found != Result::Ok)
        return found;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Result::WrongType;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = DWORD(buffer.size() * sizeof(wchar_t));
    rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE *>(buffer.data()), &bytes);
    if (rc != ERROR_SUCCESS) {
        fail(rc);
        return Result::Failed;
    }
    // The stored text may or may not carry its terminating zero.
    std::size_t length = bytes / sizeof(wchar_t);
    while (length > 0 && buffer[length - 1] == L'\0')
        --length;
    *text = QString::fromWCharArray(buffer.data(), qsizetype(length));
    return Result::Ok;
}

bool WinRegistry::writeValue(const QString &keyPath, const QString &name, const QString &text)
{
    KeyHandle key;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, wide(joinKeyPath(keyPath)).c_str(), 0, nullptr,
                                 0, KEY_SET_VALUE, nullptr, key.out(), nullptr);
    if (rc != ERROR_SUCCESS)
        return fail(rc);
    const std::wstring data = wide(text);
    rc = RegSetValueExW(key.get(), wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE *>(data.c_str()),
                        DWORD((data.size() + 1) * sizeof(wchar_t)));
    return rc == ERROR_SUCCESS || fail(rc);
}

bool WinRegistry::deleteValue(const QString &keyPath, const QString &name)
{
    KeyHandle key;
    LSTATUS rc = openKey(keyPath, KEY_SET_VALUE, key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return true;
    if (rc != ERROR_SUCCESS)
        return fail(rc);
    rc = RegDeleteValueW(key.get(), wide(name).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || fail(rc);
}

bool WinRegistry::deleteKeyTree(const QString &keyPath)
{
    const QString path = joinKeyPath(keyPath);
    if (path.isEmpty())
        return fail(ERROR_ACCESS_DENIED);
    const LSTATUS rc = RegDeleteTreeW(HKEY_CURRENT_USER, wide(path).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || fail(rc);
}

RegistryBackend::Result WinRegistry::valueNames(const QString &keyPath, QStringList *names)
{
    KeyHandle key;
    if (const Result opened = openResult(openKey(keyPath, KEY_QUERY_VALUE, key));
        opened != Result::Ok)
        return opened;
    LSTATUS rc = ERROR_SUCCESS;
    names->clear();
    std::vector<wchar_t> buffer(16384, L'\0'); // the longest value name the registry allows
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(buffer.size());
        rc = RegEnumValueW(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr,
                           nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            return Result::Ok;
        if (rc != ERROR_SUCCESS) {
            fail(rc);
            return Result::Failed;
        }
        names->append(QString::fromWCharArray(buffer.data(), qsizetype(length)));
    }
}

#endif
