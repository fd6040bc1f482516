#pragma once

// The quantities that took part in one "Calculer" of the margin calculator, with the captions
// the window shows beside them: what the tape writes of it.

#include "margin/margincalc.h"

#include <QList>
#include <QString>

namespace margin {

struct ShownQuantity
{
    QString caption;       // "Prix d'achat HT", "T de marque", "Coefficient", ...
    QString text;          // as the field shows it
    bool rate = false;     // a percentage
    bool computed = false; // written by the computation rather than typed
};

// The fields typed for the set-up and those the computation wrote, in the window's order.
// Nothing when the computation wrote nothing. A selling price raised to an ending is followed
// by a note that says so ("Prix de vente arrondi à ,90").
QList<ShownQuantity> shownQuantities(const MarginSetup &setup, const FieldTexts &typed,
                                     const FieldWrites &writes,
                                     PriceEnding endingApplied = PriceEnding::None);

} // namespace margin
