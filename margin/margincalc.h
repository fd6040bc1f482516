#pragma once

// The margin calculator: from the fields the user filled in, the quantities of one article that
// were not typed (prices with or without VAT, margin rate, mark-up rate, coefficient, gross
// margin).
//
// The calculator keeps its numbers from one computation to the next, as the window always has:
// a computation overwrites only the numbers it works out, and the margin-rate mode still derives
// its coefficient from the mark-up rate of an earlier computation when the selling price is 0.

#include "priceending.h"
#include "setuptable.h"

#include <QChar>
#include <QString>

#include <array>
#include <optional>

namespace margin {

// The texts of the six fields, indexed by Field.
using FieldTexts = std::array<QString, FieldCount>;
// What a computation writes into each field; nothing for a field it leaves alone.
using FieldWrites = std::array<std::optional<QString>, FieldCount>;

struct MarginSetup
{
    Mode mode = Mode::Free;
    GivenPrice given = GivenPrice::None; // the coefficient and gross-margin modes' price
    bool purchaseWithVat = false;        // "PA TTC"
    bool sellingWithVat = false;         // "PV TTC"
};

// The numbers the window keeps between computations, all without VAT except the two shown
// prices. They start at 0.
struct MarginNumbers
{
    double AchatHT = 0.0;    // purchase price read from TxtAchat
    double VenteHT = 0.0;    // selling price read from TxtVente
    double AchatCalc = 0.0;  // purchase price computed from the selling price
    double VenteCalc = 0.0;  // selling price computed from the purchase price
    double AchatAff = 0.0;   // computed purchase price as shown (with VAT under "PA TTC")
    double VenteAff = 0.0;   // computed selling price as shown (with VAT under "PV TTC")
    double MargeBrute = 0.0; // gross margin
    double TauxMarge = 0.0;  // margin rate, percent of the purchase price
    double TauxMarque = 0.0; // mark-up rate, percent of the selling price
    double Coef = 0.0;       // selling price over purchase price

    bool operator==(const MarginNumbers &) const = default;
};

// A price with VAT brought back to the price without VAT, and a price without VAT shown with VAT,
// by the program's one VAT arithmetic (vat/vatmath.h). Nothing without a usable rate or when the
// result is not a finite number.
std::optional<double> withoutVat(double price, std::optional<double> rate);
std::optional<double> withVat(double price, std::optional<double> rate);

class MarginCalculator
{
public:
    MarginCalculator() = default;
    // Resumes with the numbers an earlier computation kept (working a computation again).
    explicit MarginCalculator(const MarginNumbers &numbers) : m_numbers(numbers) {}
    const MarginNumbers &numbers() const { return m_numbers; }

    // The ending a selling price worked out from the purchase price is raised to (as the customer
    // sees it: with VAT under "PV TTC"). The gross margin, the rates and the coefficient shown
    // are then those of the raised price; the quantity the user typed stays as typed.
    void setPriceEnding(PriceEnding ending) { m_ending = ending; }
    PriceEnding priceEnding() const { return m_ending; }
    // The ending the last computation raised a selling price to; none when it worked out no
    // selling price, or the ending is off.
    PriceEnding lastPriceEnding() const { return m_lastEnding; }

    // "Calculer": reads the fields, computes what the set-up leaves to compute and returns the
    // texts to write, each rounded to the cent in regional number text. firstRate is the first
    // VAT rate, used for every price with VAT. A quantity that cannot be worked out (a missing
    // rate, a coefficient of 0 against a selling price, a number out of range) is not written,
    // and neither is anything that depends on it.
    FieldWrites calculate(const MarginSetup &setup, const FieldTexts &fields,
                          std::optional<double> firstRate, QChar regionalMark);

private:
    MarginNumbers m_numbers;
    PriceEnding m_ending = PriceEnding::None;
    PriceEnding m_lastEnding = PriceEnding::None;
};

} // namespace margin
