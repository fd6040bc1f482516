#include "pricechange.h"

#include "calculator/numbertext.h"

#include <cmath>
#include <utility>

namespace margin {

namespace {

std::optional<QString> shown(double value, QChar mark)
{
    if (!calc::isShowable(value))
        return std::nullopt;
    return calc::regionalNumberText(calc::roundToCents(value), mark);
}

// The rate between two values: |100 - 100 x smaller-or-larger / other|, 0 when either is 0.
// For a discount the first working value is the smaller one, for an increase the larger one.
double rateBetween(double &first, double &second, Direction direction)
{
    if (direction == Direction::Discount ? first > second : first < second)
        std::swap(first, second);
    double rate = 0.0;
    if (second != 0.0)
        rate = std::abs(100.0 - 100.0 * first / second);
    if (first == 0.0 || second == 0.0)
        rate = 0.0;
    return rate;
}

} // namespace

PriceChangeWrites PriceChange::calculate(ChangeMode mode, Direction direction,
                                         const PriceChangeFields &fields, QChar regionalMark)
{
    Valeur1 = calc::readDisplayNumber(fields.first, regionalMark);
    Valeur2 = calc::readDisplayNumber(fields.second, regionalMark);
    TauxRem = calc::readDisplayNumber(fields.rate, regionalMark);

    PriceChangeWrites writes;
    if (mode == ChangeMode::Rate) {
        if (!fields.rate.isEmpty())
            return writes;
        if (!calc::isShowable(Valeur1) || !calc::isShowable(Valeur2))
            return writes;
        TauxRem = rateBetween(Valeur1, Valeur2, direction);
        writes.rate = shown(TauxRem, regionalMark);
        return writes;
    }

    if (TauxRem == 0.0 || !calc::isShowable(TauxRem) || !calc::isShowable(Valeur1))
        return writes;
    if (direction == Direction::Increase)
        Valeur2 = (TauxRem + 100.0) * Valeur1 / 100.0;
    else
        Valeur2 = (100.0 - TauxRem) * Valeur1 / 100.0;
    writes.second = shown(Valeur2, regionalMark);
    return writes;
}

} // namespace margin
