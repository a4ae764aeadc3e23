#pragma once

#include <QString>

// The application title: the program's name for the user, the caption of every error box and
// the last part of both settings key paths.
inline QString applicationTitle()
{
    return QStringLiteral("Ордана 2017");
}
