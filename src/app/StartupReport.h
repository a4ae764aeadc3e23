#pragma once

class QWidget;

// For measuring the start-up: with QORCLIENT_REPORT_LIST_PAINTED set in the environment, the
// line "list painted" goes to the standard output as soon as the main window's card list has
// been painted with cards. Nothing happens without it.
void reportFirstListPaint(QWidget *mainWindow);
