#pragma once

// What may be typed into the program's number fields (rates, prices, ratios, values): digits and
// the decimal point. A typed comma becomes a point; every other character is discarded, Backspace
// and the control characters of the copy, cut and paste shortcuts included.

#include <QChar>
#include <QString>
#include <QStringView>

namespace calc {

// The character the field receives for a typed one; a null QChar when it is discarded.
QChar filterNumericKey(QChar key);

// Pasted text, character by character through the same filter.
QString filterNumericText(QStringView text);

} // namespace calc
