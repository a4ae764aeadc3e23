#include "ui/main/DataModule.h"

#include "data/TDM1.h"
#include "platform/QorError.h"

TDM1 &dataModule()
{
    if (!DM1)
        throw QorError(QStringLiteral("Модуль данных программы не создан"));
    return *DM1;
}
