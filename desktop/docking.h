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
