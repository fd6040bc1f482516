#include "vatkeys.h"

#include "calculator/numbertext.h"
#include "rate.h"

namespace vat {

namespace {

// The operations stay in this order: another order can differ in the last binary place, and a
// result that sits on a half cent would then round the other way.
double compute(VatKey key, double x, double t)
{
    switch (key) {
    case VatKey::TTC:
        return x + t * (x / 100);
    case VatKey::HT:
        return x / (t / 100 + 1);
    case VatKey::TVA:
        return (x / 100) * t;
    case VatKey::DontTVA:
        return x - x / (t / 100 + 1);
    }
    return 0.0;
}

QString labelled(VatKey key, const QString &amount)
{
    switch (key) {
    case VatKey::TTC:
        return amount + QStringLiteral(" TTC");
    case VatKey::HT:
        return amount + QStringLiteral(" HT");
    case VatKey::TVA:
        return QStringLiteral("TVA ") + amount;
    case VatKey::DontTVA:
        return QStringLiteral("Dont TVA ") + amount;
    }
    return amount;
}

} // namespace

std::optional<double> activeRateValue(const QString &activeRate, QChar regionalMark)
{
    return Rate::fromText(activeRate).value(regionalMark);
}

bool applyVatKey(calc::CalculatorEngine &engine, VatKey key, const QString &activeRate,
                 VatStep *done)
{
    if (engine.display().isEmpty() || !engine.ClicTva)
        return false;

    const QChar mark = engine.regionalMark();
    const std::optional<double> t = activeRateValue(activeRate, mark);
    if (!t)
        return false;
    const double x = calc::readDisplayNumber(engine.display(), mark);
    const double r = compute(key, x, *t);
    // A rate of -100 divides by zero and a huge amount overflows: rather than show "inf" or
    // "nan", the key leaves the calculator as it was. Rounding a finite value keeps it finite.
    if (!calc::isShowable(r))
        return false;
    const double rounded = calc::roundToCents(r);

    engine.setDisplay(labelled(key, calc::regionalNumberText(rounded, mark)));

    // The result ends the pending calculation: the next digit starts a new number, which may
    // take a decimal point whichever key produced the result.
    engine.N1 = 0.0;
    engine.N2 = 0.0;
    engine.N3 = 0.0;
    engine.TF = 1;
    engine.virg = true;
    engine.Compteur = 0;
    engine.ClicTva = 0;
    if (done)
        *done = VatStep{x, *t, rounded};
    return true;
}

} // namespace vat
