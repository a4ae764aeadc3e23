#pragma once

class QWidget;

// The mouse wheel over widget changes it only while it has the focus; otherwise the wheel
// passes it by. The widget no longer takes the focus from the wheel either.
void acceptWheelOnlyWithFocus(QWidget *widget);
