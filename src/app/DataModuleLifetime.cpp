#include "app/DataModuleLifetime.h"

#include "app/CommandGuard.h"
#include "app/settings/DefaultsPersistence.h"
#include "data/TDM1.h"

void createDataModule()
{
    runGuarded([] { DM1 = new TDM1; });
    if (DM1)
        runGuarded([] { loadDefaults(DM1->defaults()); });
}

void destroyDataModule()
{
    if (DM1)
        runGuarded([] { saveDefaults(DM1->defaults()); });
    runGuarded([] {
        delete DM1;
        DM1 = nullptr;
    });
}
