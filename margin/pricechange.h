#pragma once

// The price-change calculator: the discount or increase rate between two values, or a value
// after a fixed discount or increase.

#include "setuptable.h"

#include <QChar>
#include <QString>

#include <optional>

namespace margin {

struct PriceChangeFields
{
    QString first;  // the first value
    QString second; // the second value
    QString rate;   // the rate in percent
};

struct PriceChangeWrites
{
    std::optional<QString> rate;   // the rate found (rate mode)
    std::optional<QString> second; // the changed value, to be shown (fixed-rate mode)
};

enum class Direction
{
    Discount, // "Remise"
    Increase, // "Hausse"
};

class PriceChange
{
public:
    // The working values of the last computation, re-read from the fields every time.
    double Valeur1 = 0.0;
    double Valeur2 = 0.0;
    double TauxRem = 0.0;

    // "Calculer". Rate mode computes only while the rate is empty, so a second press with the rate
    // still shown changes nothing; the rate is the fall from the larger value to the smaller
    // one (discount) or the rise from the smaller to the larger (increase), in percent of the
    // starting value, whichever field holds which. Fixed-rate mode applies a rate other than 0
    // to the first value. Results are rounded to the cent in regional number text; nothing is
    // written when a value is out of range.
    PriceChangeWrites calculate(ChangeMode mode, Direction direction,
                                const PriceChangeFields &fields, QChar regionalMark);
};

} // namespace margin
