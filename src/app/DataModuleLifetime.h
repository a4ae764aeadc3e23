#pragma once

// Creating and destroying the data module `DM1`: with it the remembered entry defaults are
// loaded from the settings store and saved back. Errors are shown in the standard error box
// and the program goes on.
void createDataModule();
void destroyDataModule();
