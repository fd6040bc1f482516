#include "margincalc.h"

#include "calculator/numbertext.h"
#include "calculator/switches.h"
#include "vat/vatmath.h"

namespace margin {

namespace {

using Value = std::optional<double>;

// Only finite numbers are carried on: an infinite or undefined intermediate result stops what
// depends on it instead of reaching a field as "inf" or "nan".
Value finite(double value)
{
    return calc::isShowable(value) ? Value(value) : std::nullopt;
}

bool isNonZero(Value value)
{
    return value && *value != 0.0;
}

// One computation: the fields as they stand after each write (the gross-margin mode reads back
// the mark-up rate it has just shown), and the numbers it keeps.
class Computation
{
public:
    Computation(MarginNumbers &numbers, const FieldTexts &fields, Value rate, QChar mark,
                PriceEnding ending)
        : n(numbers), m_fields(fields), m_rate(rate), m_mark(mark), m_ending(ending)
    {
    }

    FieldWrites writes;
    PriceEnding endingApplied = PriceEnding::None;

    Value read(Field field) const
    {
        return finite(calc::readDisplayNumber(m_fields[index(field)], m_mark));
    }
    bool isEmpty(Field field) const { return m_fields[index(field)].isEmpty(); }

    // Stores a worked-out number and shows it rounded to the cent; an unknown one leaves both
    // the number and the field as they were.
    Value show(Field field, Value value, double *keep = nullptr)
    {
        if (!value)
            return value;
        if (keep)
            *keep = *value;
        const double cents = calc::roundToCents(*value);
        // A price raised to an ending shows it in full, as on the shelf: "124,90", "25,00".
        const QString text = field == Field::Vente && endingApplied != PriceEnding::None
                                 ? calc::regionalFixedText(cents, 2, m_mark)
                                 : calc::regionalNumberText(cents, m_mark);
        m_fields[index(field)] = text;
        writes[index(field)] = text;
        return value;
    }

    static void keep(double &number, Value value)
    {
        if (value)
            number = *value;
    }

    Value toWithoutVat(Value price, bool withVatGiven) const
    {
        if (!price || !withVatGiven)
            return price;
        return withoutVat(*price, m_rate);
    }
    Value toShown(Value price, bool withVatShown) const
    {
        if (!price || !withVatShown)
            return price;
        return withVat(*price, m_rate);
    }

    // A selling price worked out from the purchase price, raised to the price ending as the
    // customer sees it; the price without VAT then follows the raised one.
    Value endSellingPrice(Value sellingHT, bool withVatShown)
    {
        if (!sellingHT || m_ending == PriceEnding::None)
            return sellingHT;
        const Value shown = toShown(sellingHT, withVatShown);
        if (!shown)
            return sellingHT;
        endingApplied = m_ending;
        const double raised = raiseToPriceEnding(*shown, m_ending);
        if (raised == *shown)
            return sellingHT;
        return withVatShown ? withoutVat(raised, m_rate) : Value(raised);
    }

    // The coefficient from a mark-up rate m: 1 / (1 - m / 100), skipped when the difference is 0.
    void coefficientFromMarkup(Value markup)
    {
        if (!markup)
            return;
        const double difference = 1.0 - *markup / 100.0;
        if (difference == 0.0)
            return;
        show(Field::Coef, finite(1.0 / difference), &n.Coef);
    }

    MarginNumbers &n;

private:
    FieldTexts m_fields;
    Value m_rate;
    QChar m_mark;
    PriceEnding m_ending;
};

Value minus(Value a, Value b)
{
    return a && b ? finite(*a - *b) : std::nullopt;
}
Value plus(Value a, Value b)
{
    return a && b ? finite(*a + *b) : std::nullopt;
}
Value times(Value a, Value b)
{
    return a && b ? finite(*a * *b) : std::nullopt;
}
// 100 x (part / whole); the callers check that the whole is not 0.
Value percentOf(Value part, Value whole)
{
    return part && whole ? finite(100.0 * (*part / *whole)) : std::nullopt;
}

void freeMode(Computation &c, Value achatHT, Value venteHT)
{
    if (!isNonZero(achatHT) || !isNonZero(venteHT))
        return;
    const Value margin = c.show(Field::MargeBrute, minus(venteHT, achatHT), &c.n.MargeBrute);
    const Value markup = c.show(Field::TauxMarque, percentOf(margin, venteHT), &c.n.TauxMarque);
    c.show(Field::TauxMarge, percentOf(margin, achatHT), &c.n.TauxMarge);
    c.coefficientFromMarkup(markup);
}

// The price on the other side of the gross margin: the selling price lies the gross margin
// above the purchase price, the purchase price the gross margin below the selling price.
Value otherPrice(GivenPrice given, Value givenHT, Value margin)
{
    return given == GivenPrice::Purchase ? plus(givenHT, margin) : minus(givenHT, margin);
}

struct Prices
{
    Value purchase;
    Value selling;
};
Prices bothPrices(GivenPrice given, Value givenHT, Value other)
{
    return given == GivenPrice::Purchase ? Prices{givenHT, other} : Prices{other, givenHT};
}

GivenPrice opposite(GivenPrice side)
{
    return side == GivenPrice::Purchase ? GivenPrice::Selling : GivenPrice::Purchase;
}

// The margin rate is taken on the purchase price, the mark-up rate on the selling price.
Field rateOn(GivenPrice side)
{
    return side == GivenPrice::Purchase ? Field::TauxMarge : Field::TauxMarque;
}
Field priceOf(GivenPrice side)
{
    return side == GivenPrice::Purchase ? Field::Achat : Field::Vente;
}

// A price worked out from the other one: kept without VAT, shown with VAT when its box says so.
void showWorkedOutPrice(Computation &c, const MarginSetup &setup, GivenPrice side, Value price)
{
    if (side == GivenPrice::Purchase) {
        Computation::keep(c.n.AchatCalc, price);
        c.show(Field::Achat, c.toShown(price, setup.purchaseWithVat), &c.n.AchatAff);
    } else {
        Computation::keep(c.n.VenteCalc, price);
        c.show(Field::Vente, c.toShown(price, setup.sellingWithVat), &c.n.VenteAff);
    }
}

// The rate of the gross margin on a price, shown unless the price is 0.
void showRateOn(Computation &c, GivenPrice side, Value margin, Value price)
{
    if (!isNonZero(price))
        return;
    double &kept = side == GivenPrice::Purchase ? c.n.TauxMarge : c.n.TauxMarque;
    c.show(rateOn(side), percentOf(margin, price), &kept);
}

// The margin-rate mode (the purchase price given) and the mark-up-rate mode (the selling price
// given): the rate typed on the given price makes the gross margin, and so the other price.
void fixedRateMode(Computation &c, const MarginSetup &setup, GivenPrice given, Value givenHT)
{
    if (c.isEmpty(priceOf(given)) || c.isEmpty(rateOn(given)))
        return;
    const Value rate = c.read(rateOn(given));
    const Value margin = times(rate, givenHT);
    Value grossMargin = margin ? finite(*margin / 100.0) : margin;
    Value other = otherPrice(given, givenHT, grossMargin);
    if (given == GivenPrice::Purchase) {
        // The gross margin is the real one, at the selling price the shelf shows.
        const Value ended = c.endSellingPrice(other, setup.sellingWithVat);
        if (ended != other)
            grossMargin = minus(ended, givenHT);
        other = ended;
    }
    c.show(Field::MargeBrute, grossMargin, &c.n.MargeBrute);
    showWorkedOutPrice(c, setup, opposite(given), other);
    showRateOn(c, opposite(given), grossMargin, other);
    if (given == GivenPrice::Purchase) {
        // With a selling price of 0 the mark-up rate stays that of the last computation, and the
        // coefficient follows it. Without any selling price there is nothing to base it on.
        if (other)
            c.coefficientFromMarkup(c.n.TauxMarque);
    } else if (grossMargin) {
        c.coefficientFromMarkup(c.read(Field::TauxMarque));
    }
}

void coefficientMode(Computation &c, const MarginSetup &setup, Value givenHT)
{
    if (c.isEmpty(Field::Coef) || setup.given == GivenPrice::None)
        return;
    const Value coefficient = c.read(Field::Coef);
    const Value other =
        setup.given == GivenPrice::Purchase
            ? c.endSellingPrice(times(givenHT, coefficient), setup.sellingWithVat)
            : (givenHT && coefficient ? finite(*givenHT / *coefficient) : std::nullopt);
    showWorkedOutPrice(c, setup, opposite(setup.given), other);
    const Prices prices = bothPrices(setup.given, givenHT, other);
    const Value margin =
        c.show(Field::MargeBrute, minus(prices.selling, prices.purchase), &c.n.MargeBrute);
    showRateOn(c, GivenPrice::Selling, margin, prices.selling);
    showRateOn(c, GivenPrice::Purchase, margin, prices.purchase);
}

// The gross margin is the typed one; the kept gross margin is left alone in this mode. The
// coefficient comes from the mark-up rate as shown, read back in full.
void grossMarginMode(Computation &c, const MarginSetup &setup, Value givenHT)
{
    if (setup.given == GivenPrice::None)
        return;
    Value margin = c.read(Field::MargeBrute);
    Value other = otherPrice(setup.given, givenHT, margin);
    if (setup.given == GivenPrice::Purchase) {
        // The rates are those of the real gross margin, at the selling price the shelf shows.
        const Value ended = c.endSellingPrice(other, setup.sellingWithVat);
        if (ended != other)
            margin = minus(ended, givenHT);
        other = ended;
    }
    showWorkedOutPrice(c, setup, opposite(setup.given), other);
    const Prices prices = bothPrices(setup.given, givenHT, other);
    showRateOn(c, GivenPrice::Selling, margin, prices.selling);
    showRateOn(c, GivenPrice::Purchase, margin, prices.purchase);
    if (other)
        c.coefficientFromMarkup(c.read(Field::TauxMarque));
}

} // namespace

std::optional<double> withoutVat(double price, std::optional<double> rate)
{
    if (!rate)
        return std::nullopt;
    return finite(vat::withoutVat(price, *rate));
}

std::optional<double> withVat(double price, std::optional<double> rate)
{
    if (!rate)
        return std::nullopt;
    return finite(vat::withVat(price, *rate));
}

FieldWrites MarginCalculator::calculate(const MarginSetup &setup, const FieldTexts &fields,
                                        std::optional<double> firstRate, QChar regionalMark)
{
    Computation c(m_numbers, fields, firstRate, regionalMark, m_ending);

    // Both prices are read in every set-up, also one the mode does not use.
    const Value achatHT = c.toWithoutVat(c.read(Field::Achat), setup.purchaseWithVat);
    Computation::keep(m_numbers.AchatHT, achatHT);
    const Value venteHT = c.toWithoutVat(c.read(Field::Vente), setup.sellingWithVat);
    Computation::keep(m_numbers.VenteHT, venteHT);

    switch (setup.mode) {
    case Mode::Free:
        freeMode(c, achatHT, venteHT);
        break;
    case Mode::MarginRate:
        fixedRateMode(c, setup, GivenPrice::Purchase, achatHT);
        break;
    case Mode::MarkupRate:
        fixedRateMode(c, setup, GivenPrice::Selling, venteHT);
        break;
    case Mode::Coefficient:
        coefficientMode(c, setup, setup.given == GivenPrice::Selling ? venteHT : achatHT);
        break;
    case Mode::GrossMargin:
        grossMarginMode(c, setup, setup.given == GivenPrice::Selling ? venteHT : achatHT);
        break;
    }
    m_lastEnding = c.endingApplied;
    return c.writes;
}

} // namespace margin
