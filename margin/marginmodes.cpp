#include "marginmodes.h"

namespace margin {

MarginModes::MarginModes()
{
    applyRow(setupRow(Mode::Free, GivenPrice::None));
}

void MarginModes::applyRow(const SetupRow &row)
{
    m_roles = row.roles;
    m_quantityOptionsEnabled = row.quantityOptionsEnabled;
    m_priceChoiceEnabled = row.priceChoiceEnabled;
}

void MarginModes::setFixedQuantity(bool ticked)
{
    m_fixedQuantity = ticked;
    if (!ticked) {
        m_quantity.reset();
        m_given = GivenPrice::None;
        applyRow(setupRow(Mode::Free, GivenPrice::None));
        return;
    }
    // Selecting the coefficient sets it up, unless it is selected already.
    if (m_quantity != Mode::Coefficient)
        chooseQuantity(Mode::Coefficient);
    const SetupRow &row = setupRow(Mode::Coefficient, m_given);
    m_quantityOptionsEnabled = row.quantityOptionsEnabled;
    m_priceChoiceEnabled = row.priceChoiceEnabled;
}

// The margin-rate and mark-up-rate modes fix the price typed; the coefficient and gross-margin
// modes keep the price chosen before, or take the purchase price when none was.
void MarginModes::chooseQuantity(Mode quantity)
{
    if (quantity == Mode::Free)
        return;
    m_quantity = quantity;
    const SetupRow &modeRow = setupRow(quantity, GivenPrice::None);
    if (!modeRow.priceChoiceEnabled)
        m_given = GivenPrice::None;
    m_quantityOptionsEnabled = modeRow.quantityOptionsEnabled;
    m_priceChoiceEnabled = modeRow.priceChoiceEnabled;
    if (modeRow.priceChoiceEnabled && m_given == GivenPrice::None)
        choosePrice(GivenPrice::Purchase);
    m_roles = setupRow(quantity, m_given).roles;
}

// Only the two price fields change role: results already shown stay on show.
void MarginModes::choosePrice(GivenPrice price)
{
    if (price == GivenPrice::None)
        return;
    m_given = price;
    if (!m_fixedQuantity || !m_quantity)
        return;
    // The price fields' roles are the same in both modes where the price is chosen.
    const SetupRow &row = setupRow(Mode::Coefficient, price);
    for (const Field f : {Field::Achat, Field::Vente})
        m_roles[index(f)] = row.role(f);
}

void MarginModes::resultWritten(Field field)
{
    if (m_roles[index(field)] == Role::HiddenResult)
        m_roles[index(field)] = Role::Result;
}

std::optional<MarginSetup> MarginModes::setup() const
{
    std::optional<Mode> mode = Mode::Free;
    if (m_fixedQuantity)
        mode = m_quantity;
    if (!mode)
        return std::nullopt;
    return MarginSetup{*mode, m_given, m_purchaseWithVat, m_sellingWithVat};
}

} // namespace margin
