#pragma once

#include <QList>
#include <QRect>

// A window rectangle as Windows stores it: right and bottom lie just outside the window.
struct WindowRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static WindowRect fromQRect(const QRect &rect);
    QRect toQRect() const;
    bool operator==(const WindowRect &other) const;
};

// Keeps a window reachable: a rectangle whose title strip no available screen area shows is
// moved (and shrunk where needed) onto the screen nearest to it. Returns whether it moved.
bool fitOntoScreens(WindowRect *rect, const QList<QRect> &available);
