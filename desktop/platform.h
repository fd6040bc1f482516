#pragma once

// What the program asks of the desktop: the rounded outline and dragging of its borderless
// windows, staying on top, the hand cursor, its pictures at the screen's pixel density, and
// opening the maker's web site. Dragging has a file of its own, windowdrag.h.

#include "windowdrag.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QRegion>
#include <QString>

#include <functional>

class QColor;
class QPainter;
class QRect;
class QWidget;

namespace desktop {

// The rounded rectangle from (left, top) to (right, bottom) with corners cut by an ellipse of
// the given width and height, by the rules of the Windows API's rounded-rectangle regions: the
// right and bottom edges are outside, the ellipse is clamped to the rectangle, and an ellipse
// narrower or lower than 2 pixels gives the plain rectangle. A corner row keeps the pixels whose
// centres lie inside the corner's ellipse.
QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);

// Gives a borderless window its rounded outline for the rest of its life.
void applyRoundedOutline(QWidget *window, int left, int top, int right, int bottom,
                         int ellipseWidth, int ellipseHeight);

// Keeps the window above the others from now on, without moving, sizing, activating or
// re-showing it. There is no way back: the calculator stays on top once it has been dragged.
void makeTopmost(QWidget *window);

// The pointing hand shown over the program's buttons; its hot spot is the tip of the finger.
QCursor handCursor();

// One of the program's pictures (":/ui/..."). On a screen of more than one pixel per unit its
// sharper copy ("name@2x.png" beside it) is used when there is one, at the same logical size.
QPixmap picture(const QString &path);

// A button's glyph (":/ui/...png"), with its sharper copy on a screen of more than one pixel per
// unit.
QIcon icon(const QString &path);

// Draws a decorative frame (the windows' shapes): an outline of the given width, in the given
// colour, inside the bounds so that nothing spills out of the place the frame was given.
void paintOutline(QPainter &painter, const QRect &bounds, const QColor &colour, int width);

// Opens the maker's web site in the user's browser. Tests replace the opener so that nothing
// starts; the previous opener is returned.
using WebSiteOpener = std::function<void(const QString &address)>;
void openWebSite(const QString &address);
WebSiteOpener setWebSiteOpener(WebSiteOpener next);

} // namespace desktop
