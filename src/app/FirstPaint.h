#pragma once

#include <functional>

class QWidget;

// Runs action once, right after the window's first paint has reached the screen and before any
// other event is handled: the window appears at once, however long the action takes, and no key
// or click reaches it before the action is done. A window shown minimized, or one the platform
// never exposes, gets the action without the paint. Call it before the window is first shown.
void runAfterFirstPaint(QWidget *window, std::function<void()> action);
