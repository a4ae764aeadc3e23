#include "app/DataModuleLifetime.h"

#include "app/CommandGuard.h"
#include "data/TDM1.h"

void createDataModule()
{
    runGuarded([] { DM1 = new TDM1; });
}

void destroyDataModule()
{
    runGuarded([] {
        delete DM1;
        DM1 = nullptr;
    });
}
