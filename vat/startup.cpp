#include "startup.h"

namespace vat {

StartUpRates loadStartUpRates(const RateFile &file, QChar regionalMark, SharedRates &rates)
{
    StartUpRates result;
    if (const std::optional<RateFileContent> content = file.read()) {
        rates.TauxTVA1 = content->first;
        rates.TauxTVA2 = content->second;
        result.usable = true;
    } else {
        // No default rates: until rates are stored through the options window there is no
        // active rate and the VAT keys stay idle.
        rates = SharedRates{};
    }
    result.firstSource = rates.TauxTVA1.text(regionalMark);
    result.secondSource = rates.TauxTVA2;
    result.caption = rateCaption(result.firstSource);
    return result;
}

RateTextConversion startUpConversion(QChar regionalMark)
{
    return RateTextConversion(QLatin1Char('.'), regionalMark,
                              RateTextConversion::Order::SecondThenFirst);
}

ActiveRate commitStartUpRates(const RateTextConversion &conversion, SharedRates &rates)
{
    rates.TauxTVA2 = conversion.secondResult();
    rates.TauxTVA1 = Rate::fromText(conversion.firstResult());
    return ActiveRate{conversion.firstResult(), 1};
}

} // namespace vat
