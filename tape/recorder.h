#pragma once

// What each calculation writes on the tape, worked out from what the calculator, the VAT keys
// and the margin window did, never from what a window shows. The lines come without their time:
// the caller stamps a whole block with one.

#include "calculator/engine.h"
#include "tape/tape.h"

#include <QList>
#include <QString>

#include <optional>

namespace tape {

// The lines a calculator key writes: an operand with its operator ("100 +"), an operand with
// "=" and the result ("120 *"), an operand with "%", "0 C" for the clear and Delete keys.
// Nothing for digits, the decimal point, and any key that changed nothing.
QList<Line> keyLines(const calc::KeyStroke &key, const calc::CalculatorState &before,
                     const QString &displayBefore, const calc::CalculatorEngine &after);

enum class VatKind
{
    TTC,     // from HT to TTC
    HT,      // from TTC to HT
    TVA,     // the VAT on an HT amount
    DontTVA, // the VAT a TTC amount holds
};
// What a VAT key did.
struct VatDone
{
    VatKind kind = VatKind::TTC;
    QString display; // the display it read its amount from
    double amount = 0.0;
    QString rate;   // the active rate as the program shows it ("19,6")
    QString result; // the result as the display shows it
};
// The amount the key started from, "TVA 20 %" with the VAT amount, and the result.
QList<Line> vatLines(const VatDone &done, QChar mark);
// The same when results carry fixed decimals: the VAT line shows as many as the amounts around it.
QList<Line> vatLines(const VatDone &done, QChar mark, std::optional<int> decimals);
// "Taux de TVA : 5,5 %".
Line rateSwitchLine(const QString &rateText);

// One value a window showed, with its caption: a margin field, for instance.
struct Shown
{
    QString label;
    QString amount; // as shown; a decimal point typed in a field becomes the regional mark
    QString mark;
    bool result = false;
};
QList<Line> shownLines(const QList<Shown> &shown, QChar mark);

// A price change: "Remise 10 %", "200", "180 *" at a fixed rate; "200", "180", "Remise 10 %"
// when the rate was found.
struct PriceChangeDone
{
    bool increase = false;  // "Hausse" rather than "Remise"
    bool fixedRate = false; // the rate was given, the second value computed
    QString first;
    QString second;
    QString rate;
};
QList<Line> priceChangeLines(const PriceChangeDone &change, QChar mark);

} // namespace tape
