#pragma once

// Where the two calculator windows stand relative to each other: the margin window is docked to
// the right edge of the main window, both with the same top edge.

#include <QList>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <limits>

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

// How far the pair of windows (their bounds together) must move so that the user can still
// reach it: nothing while some screen's available area shows a piece of it at least `grip`
// units wide and high (or all of it, when it is smaller); otherwise as far as it takes to lie
// within the nearest area (from its top-left corner when the pair is larger than the area).
inline QPoint backIntoView(const QRect &pair, const QList<QRect> &areas, int grip = 16)
{
    const int gripWidth = std::min(grip, pair.width());
    const int gripHeight = std::min(grip, pair.height());
    const QRect *nearest = nullptr;
    long long nearestDistance = std::numeric_limits<long long>::max();
    for (const QRect &area : areas) {
        const QRect seen = pair.intersected(area);
        if (seen.width() >= gripWidth && seen.height() >= gripHeight)
            return {};
        // Distance from the area to the pair's centre.
        const QPoint centre = pair.center();
        const long long dx = centre.x() - std::clamp(centre.x(), area.left(), area.right());
        const long long dy = centre.y() - std::clamp(centre.y(), area.top(), area.bottom());
        if (dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = &area;
        }
    }
    if (!nearest)
        return {};
    const auto into = [](int start, int length, int areaStart, int areaLength) {
        const int end = std::min(start, areaStart + areaLength - length);
        return std::max(end, areaStart) - start;
    };
    return {into(pair.x(), pair.width(), nearest->x(), nearest->width()),
            into(pair.y(), pair.height(), nearest->y(), nearest->height())};
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
