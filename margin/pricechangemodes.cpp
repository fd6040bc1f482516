#include "pricechangemodes.h"

namespace margin {

ChangeEffect PriceChangeModes::directionChosen() const
{
    ChangeEffect effect;
    effect.emptyRate = m_mode == ChangeMode::Rate;
    return effect;
}

ChangeEffect PriceChangeModes::fieldClicked(ChangeField field) const
{
    ChangeEffect effect;
    effect.emptyRate = field == ChangeField::Rate || m_mode == ChangeMode::Rate;
    effect.emptyFirst = field == ChangeField::First;
    effect.emptySecond = field == ChangeField::Second;
    return effect;
}

ChangeEffect PriceChangeModes::firstEdited() const
{
    ChangeEffect effect;
    effect.hideSecond = m_mode == ChangeMode::FixedRate;
    return effect;
}

} // namespace margin
