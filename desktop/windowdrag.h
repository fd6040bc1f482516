#pragma once

// Dragging a borderless window by its background: the desktop's own move loop where there is
// one, the window following the mouse where there is none, and the docked partner kept in step.

#include <functional>

class QMouseEvent;
class QWidget;

namespace desktop {

// True when a press on the window lands on its own background, not on one of its controls.
// Decorations that let the mouse through (Qt::WA_TransparentForMouseEvents) count as background.
bool pressedOnBackground(const QWidget *window, const QMouseEvent *press);

// Lets the user move a borderless window with the mouse, from a press of the left button on its
// background; returns false, and does nothing, for any other button.
//
// The desktop's own move loop is used where there is one; it runs after this call returns, so
// afterMove runs each time the window has moved while the drag lasts (so that a docked window
// follows it) and once more when the drag ends. Where the desktop has no move loop (no window
// manager), or Qt does not yet know where the window stands, the window follows the mouse until
// the button is released. One drag runs at a time: a new one ends the previous one.
//
// However the drag ends, the window and its docked partner (when shown) stay within reach: when
// no screen's available area shows enough of the pair to grab it, the window is brought back
// into view before afterMove docks the partner again.
bool moveWithMouse(QWidget *window, QMouseEvent *press, std::function<void()> afterMove,
                   QWidget *partner = nullptr);

// True while a drag started by moveWithMouse has not ended.
bool isMoving();

} // namespace desktop
