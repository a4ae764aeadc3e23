#include "app/settings/DefaultsPersistence.h"

#include "app/settings/SettingsStore.h"

namespace {
const QString kDefaultsSubKey = QStringLiteral("Defaults");
}

void loadDefaults(DefaultsList &list)
{
    SettingsStore().LoadList(kDefaultsSubKey, list);
}

void saveDefaults(const DefaultsList &list)
{
    SettingsStore().SaveList(kDefaultsSubKey, list);
}
