#pragma once

#include "ui/controls/CardGrid.h"

// The card list's columns in their initial order, with their designed widths (0: from the
// field's size): the main window's list and every list shown like it.
const QList<CardGrid::Column> &cardListColumns();
