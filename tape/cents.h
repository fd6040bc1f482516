#pragma once

// Amounts of the grand total, in whole cents, so that adding thousands of them never drifts.

#include <QStringView>
#include <QtGlobal>

namespace tape {

// The amount a tape line shows ("119,6", "-0,5", "1E+20"), rounded to the cent, a value exactly
// halfway going to the even cent. Either "," or "." is the decimal mark. Amounts beyond what
// cents can hold are held at the largest (or smallest) sum.
qint64 amountCents(QStringView amount);
// a + b, held at the largest (or smallest) sum instead of wrapping round.
qint64 addCents(qint64 a, qint64 b);

} // namespace tape
