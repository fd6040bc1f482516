#include "margin/priceending.h"

#include "calculator/numbertext.h"

#include <cmath>

namespace margin {

double raiseToPriceEnding(double price, PriceEnding ending)
{
    if (ending == PriceEnding::None || !(price > 0.0) || price >= 1e13)
        return price;
    static constexpr double endingCents[] = {0, 90, 95, 99, 0};
    const double cents = std::round(calc::roundToCents(price) * 100.0);
    double raised = std::floor(cents / 100.0) * 100.0 + endingCents[int(ending)];
    if (raised < cents)
        raised += 100.0;
    return raised / 100.0;
}

QString priceEndingText(PriceEnding ending)
{
    switch (ending) {
    case PriceEnding::None:
        return QStringLiteral("Non");
    case PriceEnding::Ninety:
        return QStringLiteral("à ,90");
    case PriceEnding::NinetyFive:
        return QStringLiteral("à ,95");
    case PriceEnding::NinetyNine:
        return QStringLiteral("à ,99");
    case PriceEnding::WholeEuro:
        return QStringLiteral("à l'euro");
    }
    return QString();
}

QString priceEndingNote(PriceEnding ending)
{
    return ending == PriceEnding::None
               ? QString()
               : QStringLiteral("Prix de vente arrondi ") + priceEndingText(ending);
}

} // namespace margin
