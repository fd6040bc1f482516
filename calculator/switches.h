#pragma once

// The switches of a desk calculator: how many decimals results carry (or the adding mode, where
// 1234 keyed in a sum means 12,34), which way they are rounded, and the ending selling prices are
// raised to. All three start at the setting that leaves the calculator as it always was.
//
// Results rounded by these rules are the ones carried on: the display, the copy and the tape all
// show the same number.

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

namespace calc {

enum class Decimals : std::uint8_t
{
    Floating, // "F": every digit a double holds, up to 15
    Zero,
    One,
    Two,
    Three,
    Four,
    Add2, // two decimals, and a number keyed into a sum without a decimal mark is in cents
};

enum class Rounding : std::uint8_t
{
    Nearest, // "5/4": to the nearest, a value exactly halfway going away from zero (0,125: 0,13)
    Up,      // away from zero
    Down,    // toward zero
    // To the nearest, a value exactly halfway going to the even last digit (0,125: 0,12): the
    // cent rounding, and the "5/4" of Tarvex 3.1, with which the calculations its tapes hold are
    // worked again. Never a position of the switch.
    NearestEven,
};

enum class PriceEnding : std::uint8_t
{
    None,
    Ninety,     // x,90
    NinetyFive, // x,95
    NinetyNine, // x,99
    WholeEuro,  // x,00
};

struct Switches
{
    Decimals decimals = Decimals::Floating;
    Rounding rounding = Rounding::Nearest;
    PriceEnding priceEnding = PriceEnding::None;

    bool operator==(const Switches &) const = default;
};

// The number of decimals every result carries; nothing in "F".
std::optional<int> fixedDecimals(Decimals decimals);

// Rounds to n decimals (0 to 4). Like the cent rounding, it works on the value as written to 15
// significant digits, so binary noise never decides a tie nor pushes a value up: 0.1 + 0.2 rounded
// up to 2 decimals is 0.30, 1.005 to the nearest is 1.01. Values too large to carry n decimals
// within 15 digits are returned as they are.
double roundToDecimals(double value, int n, Rounding rounding);
// The rounding of the results that go to the cent when no decimals are fixed (the VAT keys'):
// the switch's, except that its "5/4" is then the cent rounding, halfway to the even cent.
Rounding centRounding(Rounding rounding);

// A result with exactly n decimals, as the display writes the four operations (" 3.33", "-0.66",
// " 120.00", " 3"): a blank or "-", a 0 before the point below 1, "." as decimal point. A value
// too large to be written with n decimals within 15 digits is written as plainNumberText() does.
QString plainFixedText(double value, int n);
// The same with the regional decimal mark and no leading blank ("119,60", "0,66"), as money and
// percentage results are written.
QString regionalFixedText(double value, int n, QChar regionalMark);
// A number text written with fewer than n decimals gets trailing zeros ("120" gives "120,00"
// for 2); one with n or more, an exponent, or no number at all is returned as it is.
QString padDecimals(const QString &numberText, int n, QChar regionalMark);

// What the display's annunciator shows for the two calculator switches: the decimals ("2",
// "A2"), the rounding ("↑", "↓"); empty at their default.
struct Annunciator
{
    QString decimals;
    QString rounding;
    bool isEmpty() const { return decimals.isEmpty() && rounding.isEmpty(); }
};
Annunciator annunciator(const Switches &switches);
// The same said in words for a screen reader ("2 décimales, arrondi par défaut"); empty at the
// defaults.
QString switchesDescription(const Switches &switches);

} // namespace calc
