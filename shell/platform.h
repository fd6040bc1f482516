#pragma once

// What the program asks of the desktop: the rounded outline and dragging of its borderless
// windows, staying on top, the hand cursor, and opening the maker's web site.

#include <QCursor>
#include <QRegion>
#include <QString>

#include <functional>

class QMouseEvent;
class QWidget;

namespace platform {

// The region of a rounded rectangle from (left, top) to (right, bottom), excluding the right and
// bottom edges, with corners cut by an ellipse of the given width and height: the same pixels as
// the rounded-rectangle regions of the Windows API.
QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);

// Gives a borderless window its rounded outline for the rest of its life.
void applyRoundedOutline(QWidget *window, int left, int top, int right, int bottom,
                         int ellipseWidth, int ellipseHeight);

// Keeps the window above the others from now on, without moving, sizing or activating it.
void makeTopmost(QWidget *window);

// Lets the user move a borderless window with the mouse, from a press of the left button on its
// background. afterMove runs once the window has moved (it may run more than once while the user
// drags, so that a docked window follows). Returns false when the press cannot start a move.
bool moveWithMouse(QWidget *window, QMouseEvent *press, std::function<void()> afterMove);

// The pointing hand shown over the program's buttons.
QCursor handCursor();

// Opens the maker's web site in the user's browser. Tests replace the opener so that nothing
// starts; the previous opener is returned.
using WebSiteOpener = std::function<void(const QString &address)>;
void openWebSite(const QString &address);
WebSiteOpener setWebSiteOpener(WebSiteOpener opener);

} // namespace platform
