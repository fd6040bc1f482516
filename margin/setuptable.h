#pragma once

// Which fields of the margin window the user types into and which ones the program fills, for
// every set-up of the margin calculator and both modes of the price-change calculator.
//
// The roles are kept here as tables, so the window applies one row instead of spreading the
// colours, locks and visibility of every field over its handlers.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace margin {

// The six fields of the margin calculator, in the order the program always treats them.
enum class Field
{
    Achat,
    Vente,
    TauxMarge,
    TauxMarque,
    Coef,
    MargeBrute
};
inline constexpr std::size_t FieldCount = 6;
inline constexpr std::array<Field, FieldCount> AllFields = {Field::Achat,     Field::Vente,
                                                            Field::TauxMarge, Field::TauxMarque,
                                                            Field::Coef,      Field::MargeBrute};

constexpr std::size_t index(Field field)
{
    return static_cast<std::size_t>(field);
}

// Free mode: both prices typed, the four ratios computed. The other modes: one quantity is
// typed besides one price.
enum class Mode
{
    Free,
    MarginRate,  // margin rate fixed, purchase price given
    MarkupRate,  // mark-up rate fixed, selling price given
    Coefficient, // coefficient fixed, price chosen by OpPA / OpPv
    GrossMargin, // gross margin fixed, price chosen by OpPA / OpPv
};

// The price typed in the coefficient and gross-margin modes.
enum class GivenPrice
{
    None,
    Purchase,
    Selling
};

// A colour as 0xRRGGBB (the logic stays free of the GUI's colour types).
using Colour = std::uint32_t;

enum class Role
{
    Entry,        // pale yellow, unlocked, shown
    Result,       // pale cyan, locked, shown
    HiddenResult, // pale cyan, locked, hidden until a computation fills it
};

inline constexpr Colour EntryColour = 0xFFFFC0;
inline constexpr Colour ResultColour = 0xC0FFFF;

inline constexpr Colour colourOf(Role role)
{
    return role == Role::Entry ? EntryColour : ResultColour;
}
inline constexpr bool isLocked(Role role)
{
    return role != Role::Entry;
}
inline constexpr bool isShown(Role role)
{
    return role != Role::HiddenResult;
}

// One set-up of the margin calculator: the role of each field, and which option buttons can be
// used (Option1 to Option4; OpPA and OpPv).
struct SetupRow
{
    Mode mode;
    GivenPrice given;
    std::array<Role, FieldCount> roles; // indexed by Field
    bool quantityOptionsEnabled;
    bool priceChoiceEnabled;

    Role role(Field field) const { return roles[index(field)]; }
};

// The row of a set-up. In the margin-rate and mark-up-rate modes the price is fixed by the mode
// and the given price is ignored; in free mode as well. In the coefficient and gross-margin
// modes without a given price, the purchase price is taken, as the window chooses it then.
const SetupRow &setupRow(Mode mode, GivenPrice given);

// The label beside a price: "HT" in dark red, or "TTC" in red when the price is with VAT.
struct PriceLabel
{
    QString caption;
    Colour colour;
};
PriceLabel priceLabel(bool withVat);

// The price-change calculator: in rate mode two values are typed and the rate is computed, in
// fixed-rate mode a value and a rate are typed and the changed value is computed.
enum class ChangeMode
{
    Rate,
    FixedRate
};

struct ChangeSetupRow
{
    ChangeMode mode;
    Role first;       // the first value
    Role second;      // the second value
    Role rate;        // the rate in percent
    QString rateText; // what the rate field holds once the mode is set up
};

const ChangeSetupRow &changeSetupRow(ChangeMode mode);

} // namespace margin
