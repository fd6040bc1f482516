#pragma once

// How one line of the tape is laid out, on screen and on paper alike: the words at the left,
// the amount right-aligned against the mark column, the mark alone in that column, results in
// bold and each day's heading centred between two rules. A corrected line shows its former
// amount before the new one: struck through on screen, "corrigé : 1245" on paper, where a
// stroke through a small number is easily missed.

#include <QString>

class QFont;
class QPainter;
class QRect;

namespace tapepaint {

// The width of the mark column for the given face: room for the widest mark and a gap.
int markColumnWidth(const QFont &font);

enum class Former
{
    StruckThrough, // the window
    InWords,       // the print
};

void paintLine(QPainter &painter, const QRect &bounds, const QString &label, const QString &amount,
               const QString &mark, bool result, const QString &former = {},
               Former style = Former::StruckThrough);

// Where a line's amount is drawn, for the editor that covers it: between the words and the mark.
QRect amountBox(const QFont &font, const QRect &bounds);

void paintHeading(QPainter &painter, const QRect &bounds, const QString &heading);

} // namespace tapepaint
