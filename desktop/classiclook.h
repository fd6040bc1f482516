#pragma once

// The classic look the calculator was drawn for: its faces (or their metric twins where they are
// missing) and the graphical push buttons, whose flat face takes the button's own colour.

class QString;
class QWidget;

namespace desktop {

// Where the classic Windows faces the windows name are missing, their metric twins stand in, so
// that captions keep the room they were given. Call once, before the first window is made.
void useSubstituteFaces();

// The face that stands in for the given one: the face itself when it is installed or has no
// substitute, else its first substitute installed. Qt finds the same on its own, but only after
// it has asked the system for a list of replacements, which costs more than the face itself.
QString standInFace(const QString &family);

// Draws every graphical push button of the window (a push button with a face colour of its own)
// the classic way: a flat face in its colour, a raised bevel (sunken while pressed), the focus
// rectangle inside, the caption centred and, like classic buttons, wrapped onto further lines
// when one is too narrow for it. Each such button says so with its "wordWrap" property.
void drawGraphicalButtonsClassic(QWidget *window);

} // namespace desktop
