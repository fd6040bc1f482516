// The rate switch and the VAT frame's captions: kept apart from the VAT keys so the windows that
// only name or switch rates do not need the calculator engine.
#include "rate.h"
#include "vatkeys.h"

namespace vat {

namespace {

const QString captionPrefix = QStringLiteral("      Taux de TVA : ");
const QString storedCaptionPrefix = QStringLiteral("       Taux de TVA : ");

} // namespace

QString rateCaption(const QString &rateText)
{
    return captionPrefix + rateText + QStringLiteral(" %");
}

QString storedRateCaption(const QString &rateTextWithPoint)
{
    return storedCaptionPrefix + rateTextWithPoint + QStringLiteral("%");
}

ActiveRate switchRate(const ActiveRate &current, const SharedRates &rates, QChar regionalMark)
{
    ActiveRate next = current;
    ++next.NumTaux;
    if (next.NumTaux == 1) {
        next.TauxTVA = rates.TauxTVA1.text(regionalMark);
    } else if (next.NumTaux == 2) {
        next.TauxTVA = rates.TauxTVA2;
        next.NumTaux = 0;
    }
    return next;
}

ActiveRate firstRateActive(const SharedRates &rates, QChar regionalMark)
{
    return ActiveRate{rates.TauxTVA1.text(regionalMark), 1};
}

} // namespace vat
