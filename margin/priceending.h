#pragma once

// Selling prices raised to a price ending, as shops price their goods: a computed 23,47 goes on
// the shelf at 23,90.

#include "calculator/switches.h"

#include <QString>

namespace margin {

using calc::PriceEnding;

// The next price with the ending at or above the price, taken to the cent as its field shows it:
// 23,47 gives 23,90 and 23,91 gives 24,90 "à ,90"; 24,00 stays 24,00 "à l'euro". A price of 0 or
// less has no shelf price to raise to, and one too large for cents has no ending: both stay.
double raiseToPriceEnding(double price, PriceEnding ending);

// The menu's words for an ending: "Non", "à ,90", "à ,95", "à ,99", "à l'euro".
QString priceEndingText(PriceEnding ending);
// What the tape says of a price raised to the ending: "Prix de vente arrondi à ,90".
QString priceEndingNote(PriceEnding ending);

} // namespace margin
