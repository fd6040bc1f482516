#pragma once

// The VAT keys of the main window and the captions of its VAT frame.

#include "calculator/engine.h"

#include <QString>

#include <optional>

namespace vat {

enum class VatKey
{
    TTC,     // price with VAT from the displayed price without VAT
    HT,      // price without VAT from the displayed price with VAT
    TVA,     // VAT on the displayed price without VAT
    DontTVA, // VAT contained in the displayed price with VAT
};

// What a VAT key worked on, for the tape.
struct VatStep
{
    double amount = 0.0; // the displayed amount it started from
    double rate = 0.0;   // the active rate, in percent
    double result = 0.0; // the result shown, rounded to the cent
};

// Applies a VAT key to the calculator at the active rate (its text with the regional mark).
// Does nothing, and returns false, when the display is empty, no key was used since the last VAT
// key, there is no usable rate, or the result cannot be shown. When it acts, *done (if given)
// tells what it worked on.
bool applyVatKey(calc::CalculatorEngine &engine, VatKey key, const QString &activeRate,
                 VatStep *done = nullptr);
// The active rate as a number: the whole text read with the regional mark (or "."); nothing when
// it is empty or not a number.
std::optional<double> activeRateValue(const QString &activeRate, QChar regionalMark);

// "      Taux de TVA : 19,6 %": the caption written at start-up and by the rate switch.
QString rateCaption(const QString &rateText);
// "       Taux de TVA : 19.6%": the caption written when new rates are stored.
QString storedRateCaption(const QString &rateTextWithPoint);

// The rate switch: which rate is active after one press, and its text.
struct ActiveRate
{
    QString TauxTVA;
    int NumTaux = 1;
};
ActiveRate switchRate(const ActiveRate &current, QChar regionalMark);
// The first shared rate made active (when new rates are stored).
ActiveRate firstRateActive(QChar regionalMark);

} // namespace vat
