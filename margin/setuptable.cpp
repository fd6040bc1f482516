#include "setuptable.h"

namespace margin {

namespace {

constexpr Role E = Role::Entry;
constexpr Role R = Role::Result;
constexpr Role H = Role::HiddenResult;

// Columns: Achat, Vente, TauxMarge, TauxMarque, Coef, MargeBrute.
// In free mode every field stays on show; in the other modes only the typed fields are shown,
// and the results appear as the computation fills them.
const std::array<SetupRow, 7> setupTable = {{
    {Mode::Free, GivenPrice::None, {E, E, R, R, R, R}, false, false},
    {Mode::MarginRate, GivenPrice::Purchase, {E, H, E, H, H, H}, true, false},
    {Mode::MarkupRate, GivenPrice::Selling, {H, E, H, E, H, H}, true, false},
    {Mode::Coefficient, GivenPrice::Purchase, {E, H, H, H, E, H}, true, true},
    {Mode::Coefficient, GivenPrice::Selling, {H, E, H, H, E, H}, true, true},
    {Mode::GrossMargin, GivenPrice::Purchase, {E, H, H, H, H, E}, true, true},
    {Mode::GrossMargin, GivenPrice::Selling, {H, E, H, H, H, E}, true, true},
}};

// Rate mode: two values typed, the rate written into its field. Fixed-rate mode: a value and a
// rate typed (10 % to start with), the changed value written as the second value.
const std::array<ChangeSetupRow, 2> changeTable = {{
    {ChangeMode::Rate, E, E, R, QString()},
    {ChangeMode::FixedRate, E, H, E, QStringLiteral("10")},
}};

} // namespace

const SetupRow &setupRow(Mode mode, GivenPrice given)
{
    const bool priceChosen = mode == Mode::Coefficient || mode == Mode::GrossMargin;
    if (priceChosen && given == GivenPrice::None)
        given = GivenPrice::Purchase;
    for (const SetupRow &row : setupTable) {
        if (row.mode == mode && (!priceChosen || row.given == given))
            return row;
    }
    return setupTable.front();
}

PriceLabel priceLabel(bool withVat)
{
    if (withVat)
        return {QStringLiteral("TTC"), 0xFF0000};
    return {QStringLiteral("HT"), 0x400000};
}

const ChangeSetupRow &changeSetupRow(ChangeMode mode)
{
    return mode == ChangeMode::FixedRate ? changeTable[1] : changeTable[0];
}

} // namespace margin
