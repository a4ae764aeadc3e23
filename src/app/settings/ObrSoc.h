#pragma once

#include "data/ReferenceLists.h"

#include <QString>

// The education/social-sphere flag "ObrSoc" in the installation key: "+" selects that variant,
// "-" the normal one; a missing value reads as "-". Failures throw QorError.

// The stored text as it is ("-" when missing), for the installer's dialog.
QString readObrSoc();
// The run's variant: only exactly "+" selects the education and social-sphere variant.
Variant readVariant();
// Written by the installer.
void writeObrSoc(Variant variant);
