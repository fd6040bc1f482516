#pragma once

// The rules of the price-change calculator's three fields, beside those of the margin
// calculator's set-up (marginmodes.h): what the check box "Taux fixe" sets up, and what a click in
// a field, a new direction or a new first value empties or hides in each mode. The window passes
// on each event and applies what results; the mode itself is the check box's state.

#include "setuptable.h"

namespace margin {

// The three fields: the first value (TxtN1), the second value (TxtN2) and the rate (TxtRem).
enum class ChangeField
{
    First,
    Second,
    Rate,
};

// What one event does to the fields. The window empties the rate before the value clicked, as it
// always has, then hides the second value.
struct ChangeEffect
{
    bool emptyRate = false;
    bool emptyFirst = false;
    bool emptySecond = false;
    bool hideSecond = false;

    bool operator==(const ChangeEffect &) const = default;
};

class PriceChangeModes
{
public:
    explicit PriceChangeModes(ChangeMode mode) : m_mode(mode) {}

    ChangeMode mode() const { return m_mode; }
    // The roles of the fields and the rate the mode starts with, once "Taux fixe" switched to it.
    const ChangeSetupRow &setup() const { return changeSetupRow(m_mode); }

    // "Remise" or "Hausse" chosen. In rate mode a new direction asks for a new rate: the shown
    // one is emptied so that "Calculer" computes again.
    ChangeEffect directionChosen() const;
    // A click in a field empties it, which is how the user corrects an entry; in rate mode a
    // click in either value empties the rate first, for the same reason.
    ChangeEffect fieldClicked(ChangeField field) const;
    // The first value was edited. In fixed-rate mode the shown result no longer matches it and is
    // hidden until the next "Calculer".
    ChangeEffect firstEdited() const;

private:
    ChangeMode m_mode;
};

} // namespace margin
