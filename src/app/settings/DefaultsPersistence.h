#pragma once

class DefaultsList;

// The remembered entry defaults in the settings store, sub-key "Defaults" of the settings key.
// The data module loads them at its creation and saves them at its destruction; failures throw
// QorError (a failed load keeps the lines read before it).
void loadDefaults(DefaultsList &list);
void saveDefaults(const DefaultsList &list);
