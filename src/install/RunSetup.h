#pragma once

#include <QString>

// The installer mode of the program: asks for a folder and the variant, stores the variant,
// copies the running program and the files beside it into the folder and saves its launchers.
// Returns when done or cancelled; a failed copy raises QorSystemError, which is not caught here.
void RunSetup();

// The same for the program file at executablePath, whose folder holds the files to install.
void RunSetup(const QString &executablePath);
