#pragma once

// The VAT breakdown of a tape ("ventilation de la TVA"): for each rate its VAT keys were pressed
// at, how many there were and the sums without VAT, of the VAT and with VAT, as they go on a VAT
// return. It is read from the tape's own lines, so that it follows every correction and a tape of
// an earlier version gives its breakdown too, at the rates written on it.
//
// A VAT key's block counts once, at its own rate. The amount the key was given and the amount it
// showed fix two of the three sums, to the cent as shown; the third is their difference, so that
// every row, and the totals, add up to the cent. QtCore only.

#include "tape/tape.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace tape {

struct VatRow
{
    double rate = 0.0; // in percent; unused in the totals' row
    int operations = 0;
    qint64 htCents = 0;
    qint64 vatCents = 0;
    qint64 ttcCents = 0;

    bool operator==(const VatRow &) const = default;
};

struct VatBreakdown
{
    QList<VatRow> rows; // one per rate that occurs
    VatRow total;
};

// The breakdown of the lines given by their numbers (sorted, as TapeModel::lineNumbersOf gives
// them), or of every line when chosen is empty; a block counts when any of its lines is chosen.
// The rows come in the order of rateOrder (the rates the switch steps through, as it names them,
// "20", "5,5"), then any other rate in the order it first occurs.
VatBreakdown vatBreakdown(const QList<Line> &lines, const QList<int> &chosen = {},
                          const QStringList &rateOrder = {});

// "5,5": a rate as the breakdown names it, with the given decimal mark.
QString breakdownRateText(double rate, QChar mark);
// One row per rate and the totals, tab-separated, a decimal comma and two decimals, under a row of
// headings: what a paste into a French spreadsheet reads as numbers.
QString breakdownCopyText(const VatBreakdown &breakdown);
// The same as a CSV file, as the tape's: UTF-8 with a byte order mark, ';' between fields, CR LF.
QByteArray breakdownCsvFile(const VatBreakdown &breakdown);

} // namespace tape
