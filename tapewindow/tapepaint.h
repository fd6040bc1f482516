#pragma once

// How one line of the tape is laid out, on screen and on paper alike: the words at the left,
// the amount right-aligned against the mark column, the mark alone in that column, results in
// bold and each day's heading centred between two rules.

#include <QString>

class QFont;
class QPainter;
class QRect;

namespace tapepaint {

// The width of the mark column for the given face: room for the widest mark and a gap.
int markColumnWidth(const QFont &font);

void paintLine(QPainter &painter, const QRect &bounds, const QString &label, const QString &amount,
               const QString &mark, bool result);

void paintHeading(QPainter &painter, const QRect &bounds, const QString &heading);

} // namespace tapepaint
