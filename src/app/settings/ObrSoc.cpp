#include "app/settings/ObrSoc.h"

#include "app/settings/SettingsStore.h"

namespace {
const QString kObrSoc = QStringLiteral("ObrSoc");
}

QString readObrSoc()
{
    return SettingsStore().ReadSetting(SettingsStore::installationKeyPath(), QString(), kObrSoc,
                                       QStringLiteral("-"));
}

Variant readVariant()
{
    return variantFromObrSoc(readObrSoc());
}

void writeObrSoc(Variant variant)
{
    const QString text =
        variant == Variant::EducationSocial ? QStringLiteral("+") : QStringLiteral("-");
    SettingsStore().WriteSetting(SettingsStore::installationKeyPath(), QString(), kObrSoc, text);
}
