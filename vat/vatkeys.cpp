#include "vatkeys.h"

#include "calculator/numbertext.h"
#include "calculator/switches.h"
#include "rate.h"
#include "vatmath.h"

namespace vat {

namespace {

double compute(VatKey key, double x, double t)
{
    switch (key) {
    case VatKey::TTC:
        return withVat(x, t);
    case VatKey::HT:
        return withoutVat(x, t);
    case VatKey::TVA:
        return vatOn(x, t);
    case VatKey::DontTVA:
        return vatContained(x, t);
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
    if (engine.display().isEmpty() || !engine.state().ClicTva)
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
    // Results go to the cent, or to the decimals the switch fixes, by the rounding switch.
    const calc::Switches &switches = engine.switches();
    const std::optional<int> decimals = calc::fixedDecimals(switches.decimals);
    const double rounded = decimals
                               ? calc::roundToDecimals(r, *decimals, switches.rounding)
                               : calc::roundToDecimals(r, 2, calc::centRounding(switches.rounding));

    const QString text = decimals ? calc::regionalFixedText(rounded, *decimals, mark)
                                  : calc::regionalNumberText(rounded, mark);
    const QString before = engine.display();
    // The result ends the pending calculation: the next digit starts a new number, which may
    // take a decimal point whichever key produced the result.
    engine.showVatResult(labelled(key, text));
    if (done)
        *done = VatStep{x, *t, rounded, text, before};
    return true;
}

} // namespace vat
