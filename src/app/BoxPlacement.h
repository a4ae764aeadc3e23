#pragma once

#include <QRect>

class QWidget;

// Where a box goes and how wide it is, beyond what Qt decides by itself.
namespace BoxPlacement {

// The width a window needs for its whole caption in the title bar, with room for the icon and
// the buttons there.
int captionWidth(const QWidget *window);
// Widens a message box (which sizes itself to its text) to show its whole caption.
void fitCaption(QWidget *box);
// Moves a window that is about to be shown, or shown, off keepClear (screen coordinates): below
// it when there is room on the screen, otherwise above it. Centred over `over` (or the screen)
// when it covers nothing.
void placeClearOf(QWidget *window, const QRect &keepClear, const QWidget *over);

} // namespace BoxPlacement
