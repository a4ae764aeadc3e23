#include "platform/VersionInfo.h"

#ifdef Q_OS_WIN

#include <QCoreApplication>
#include <QDir>
#include <vector>
#include <windows.h>

namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

} // namespace

// Reads the version resource of the running executable's file, as the shell would.
std::optional<VersionInfo> VersionInfo::ofRunningExecutable()
{
    const QString file = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide(file), &handle);
    if (size == 0)
        return std::nullopt;
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(wide(file), 0, size, block.data()))
        return std::nullopt;

    VersionInfo info;
    void *data = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length) &&
        length >= 4) {
        const auto *pair = static_cast<const WORD *>(data);
        info.setValue(QStringLiteral("\\VarFileInfo\\Translation"),
                      QStringLiteral("%1%2")
                          .arg(pair[0], 4, 16, QLatin1Char('0'))
                          .arg(pair[1], 4, 16, QLatin1Char('0'))
                          .toUpper());
    }
    const QString table = info.translationTable();
    for (const char *name :
         {"ProductName", "FileVersion", "ProductVersion", "FileDescription", "InternalName",
          "OriginalFilename", "LegalCopyright", "CompanyName", "Comments", "LegalTrademarks"}) {
        const QString path =
            QStringLiteral("\\StringFileInfo\\%1\\%2").arg(table, QLatin1String(name));
        if (VerQueryValueW(block.data(), wide(path), &data, &length) && length > 0) {
            const auto *text = static_cast<const wchar_t *>(data);
            info.setValue(path, QString::fromWCharArray(text, int(wcsnlen(text, length))));
        }
    }
    if (VerQueryValueW(block.data(), L"\\", &data, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(data);
        info.setValue(QStringLiteral("\\FixedFileVersion"),
                      QStringLiteral("%1.%2.%3.%4")
                          .arg(HIWORD(fixed->dwFileVersionMS))
                          .arg(LOWORD(fixed->dwFileVersionMS))
                          .arg(HIWORD(fixed->dwFileVersionLS))
                          .arg(LOWORD(fixed->dwFileVersionLS)));
    }
    return info;
}

#endif
