#include "platform/VersionInfo.h"

#include <QStringList>

#if defined(__ELF__)
// The linker names the bounds of the section "qorversion"; an executable built without the
// record has no such section, and the weak names then stay null.
extern "C" {
extern const char __start_qorversion[] __attribute__((weak));
extern const char __stop_qorversion[] __attribute__((weak));
}
#endif

namespace {

const QString kFixedFileVersion = QStringLiteral("\\FixedFileVersion");

} // namespace

#ifndef Q_OS_WIN
std::optional<VersionInfo> VersionInfo::ofRunningExecutable()
{
#if defined(__ELF__)
    const char *start = __start_qorversion;
    const char *stop = __stop_qorversion;
    if (!start || !stop || stop <= start)
        return std::nullopt;
    const qsizetype size = stop - start;
    // A record ends at its terminating zero; the section may hold padding after it.
    const QByteArray record(start, qsizetype(qstrnlen(start, size_t(size))));
    return fromRecord(record);
#else
    return std::nullopt;
#endif
}
#endif

VersionInfo VersionInfo::fromRecord(const QByteArray &record)
{
    VersionInfo info;
    const QStringList lines = QString::fromUtf8(record).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            info.setValue(line.left(eq), line.mid(eq + 1));
    }
    return info;
}

QString VersionInfo::translationTable() const
{
    return query(QStringLiteral("\\VarFileInfo\\Translation")).toUpper();
}

QString VersionInfo::stringEntry(const QString &name) const
{
    return query(QStringLiteral("\\StringFileInfo\\%1\\%2").arg(translationTable(), name));
}

std::array<quint16, 4> VersionInfo::fixedFileVersion() const
{
    std::array<quint16, 4> numbers{};
    const QStringList parts = query(kFixedFileVersion).split(u'.');
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        numbers[size_t(i)] = parts.at(i).toUShort();
    return numbers;
}

QString VersionInfo::fileVersion() const
{
    const QString text = stringEntry(QStringLiteral("FileVersion"));
    if (!text.isEmpty())
        return text;
    const auto n = fixedFileVersion();
    return QStringLiteral("%1.%2.%3.%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
}
