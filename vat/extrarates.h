#pragma once

// The extra VAT rates: up to two more beside the two of Taux.ini (a bakery sells at 5,5 %, 10 % and
// 20 %), kept in a file of their own so that Taux.ini stays exactly the two lines every other
// program knows. The file, AutresTaux.ini, lives by the same folder rules as Taux.ini (beside the
// program, or in the per-user folder when that cannot be written): one rate per line, "." as
// decimal point, each line ended by CR LF. An empty file (or none) sets no extra rate. Anything
// after a ";" on a line is left for a later version (a name for the rate, say): it is ignored, and
// dropped when the file is written again.

#include "rate.h"
#include "ratefile.h"
#include "vatkeys.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

namespace vat {

inline constexpr int MostExtraRates = 2;

inline QString extraRatesFileName()
{
    return QStringLiteral("AutresTaux.ini");
}

// The rate texts of the file, with their decimal point ("10", "2.1"), in order. A file that holds
// anything but at most two such lines (a rate being digits with at most one point) gives none: the
// caller also refuses the whole file when one rate is out of range, so a half-read file never
// shifts the fourth rate into the third's place.
QStringList parseExtraRates(const QByteArray &bytes);
// The file's exact bytes: "10\r\n2.1\r\n"; empty for no rate.
QByteArray formatExtraRates(const QStringList &ratesWithPoint);

// The file as kept beside Taux.ini; no rate when it is missing or unreadable.
QStringList readExtraRates(const RateFile &folders);
bool writeExtraRates(const RateFile &folders, const QStringList &ratesWithPoint);

// The rates the rate switch steps through, as it names them: the first (regional text when it is a
// number), the second as held, then each extra rate (regional text of its number) whose value is
// not already among them, so that the switch never steps onto the same rate twice.
QStringList switchedRates(const SharedRates &rates, const QStringList &extraWithPoint,
                          QChar regionalMark);

// Which of those rates is active, as NumTaux tells it: 1 the first, 0 the second, 3 the third and
// 4 the fourth. And back.
int rateIndex(int numTaux);
int numTauxOf(int index);

// The rate switch among all the rates: with only two it is switchRate() itself; with more it steps
// first, second, third, fourth and back to the first.
ActiveRate switchRateAmong(const ActiveRate &current, const SharedRates &rates,
                           const QStringList &extraWithPoint, QChar regionalMark);

// What the rate switch tells a screen reader: how many rates there are, and which.
// "2 taux de TVA : 20 % et 5,5 %".
QString ratesDescription(const QStringList &rateTexts);

} // namespace vat
