#pragma once

// The set-up of the margin calculator: which quantities the user types, which ones the program
// fills, and which option buttons can be used, as the check box "Check1", the option buttons
// Option1 to Option4, OpPA, OpPv and the boxes "PA TTC" / "PV TTC" switch it. The window passes
// on each click and shows the set-up that results; the rules live here.

#include "margincalc.h"
#include "setuptable.h"

#include <array>
#include <optional>

namespace margin {

class MarginModes
{
public:
    // Free mode, as the window opens.
    MarginModes();

    // Check1 ticked or cleared. Ticking always starts with the coefficient fixed and the purchase
    // price given; clearing goes back to free mode with every option button cleared.
    void setFixedQuantity(bool ticked);
    // One of Option1 to Option4 became selected (Free is not a quantity and is ignored).
    void chooseQuantity(Mode quantity);
    // OpPA or OpPv became selected: it clears the other one, and in a fixed-quantity mode the two
    // price fields swap roles.
    void choosePrice(GivenPrice price);
    // "PA TTC" and "PV TTC".
    void setPurchaseWithVat(bool withVat) { m_purchaseWithVat = withVat; }
    void setSellingWithVat(bool withVat) { m_sellingWithVat = withVat; }
    // A computation wrote into the field: a result hidden by the set-up comes on show.
    void resultWritten(Field field);

    // The set-up "Calculer" works with; nothing while no quantity is chosen in a fixed-quantity
    // mode.
    std::optional<MarginSetup> setup() const;

    Role role(Field field) const { return m_roles[index(field)]; }
    bool fixedQuantity() const { return m_fixedQuantity; }
    // The selected one of Option1 to Option4, if any.
    std::optional<Mode> quantity() const { return m_quantity; }
    // The selected one of OpPA and OpPv, if any.
    GivenPrice givenPrice() const { return m_given; }
    bool quantityOptionsEnabled() const { return m_quantityOptionsEnabled; }
    bool priceChoiceEnabled() const { return m_priceChoiceEnabled; }
    bool purchaseWithVat() const { return m_purchaseWithVat; }
    bool sellingWithVat() const { return m_sellingWithVat; }

private:
    void applyRow(const SetupRow &row);

    bool m_fixedQuantity = false;
    std::optional<Mode> m_quantity;
    GivenPrice m_given = GivenPrice::None;
    bool m_quantityOptionsEnabled = false;
    bool m_priceChoiceEnabled = false;
    bool m_purchaseWithVat = false;
    bool m_sellingWithVat = false;
    std::array<Role, FieldCount> m_roles{};
};

} // namespace margin
