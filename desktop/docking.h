#pragma once

// Where the two calculator windows stand relative to each other: the margin window is docked to
// the right edge of the main window, both with the same top edge.

#include <QPoint>
#include <QRect>

namespace dock {

// The margin window's place beside the main window.
inline QPoint marginWindowPlace(const QRect &mainWindow)
{
    return {mainWindow.x() + mainWindow.width(), mainWindow.y()};
}

// The main window's place to the left of the margin window.
inline QPoint mainWindowPlace(const QRect &marginWindow, int mainWindowWidth)
{
    return {marginWindow.x() - mainWindowWidth, marginWindow.y()};
}

// Opening the margin window moves the main window left by half the margin window's width;
// closing it moves the main window back by the same amount.
inline int openingShift(int marginWindowWidth)
{
    return -(marginWindowWidth / 2);
}

} // namespace dock

namespace dock {

// The tape window's frame the first time it opens: against the main window's left edge, with
// the same top and height, kept on the screen (over the main window if there is no room left).
inline QRect tapeWindowFrame(const QRect &mainWindow, int tapeFrameWidth, const QRect &screen)
{
    QRect frame(mainWindow.x() - tapeFrameWidth, mainWindow.y(), tapeFrameWidth,
                mainWindow.height());
    if (frame.left() < screen.left())
        frame.moveLeft(screen.left());
    return frame;
}

} // namespace dock
