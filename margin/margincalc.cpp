#include "margincalc.h"

#include "calculator/numbertext.h"

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
    Computation(MarginNumbers &numbers, const FieldTexts &fields, Value rate, QChar mark)
        : n(numbers), m_fields(fields), m_rate(rate), m_mark(mark)
    {
    }

    FieldWrites writes;

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
        const QString text = calc::regionalNumberText(calc::roundToCents(*value), m_mark);
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

void marginRateMode(Computation &c, const MarginSetup &setup, Value achatHT)
{
    if (c.isEmpty(Field::Achat) || c.isEmpty(Field::TauxMarge))
        return;
    const Value rate = c.read(Field::TauxMarge);
    const Value margin = times(rate, achatHT);
    const Value grossMargin =
        c.show(Field::MargeBrute, margin ? finite(*margin / 100.0) : margin, &c.n.MargeBrute);
    const Value selling = plus(achatHT, grossMargin);
    Computation::keep(c.n.VenteCalc, selling);
    c.show(Field::Vente, c.toShown(selling, setup.sellingWithVat), &c.n.VenteAff);
    if (isNonZero(selling))
        c.show(Field::TauxMarque, percentOf(grossMargin, selling), &c.n.TauxMarque);
    // With a selling price of 0 the mark-up rate stays that of the last computation, and the
    // coefficient follows it. Without any selling price there is nothing to base it on.
    if (selling)
        c.coefficientFromMarkup(c.n.TauxMarque);
}

void markupRateMode(Computation &c, const MarginSetup &setup, Value venteHT)
{
    if (c.isEmpty(Field::Vente) || c.isEmpty(Field::TauxMarque))
        return;
    const Value markup = c.read(Field::TauxMarque);
    const Value margin = times(markup, venteHT);
    const Value grossMargin =
        c.show(Field::MargeBrute, margin ? finite(*margin / 100.0) : margin, &c.n.MargeBrute);
    const Value purchase = minus(venteHT, grossMargin);
    Computation::keep(c.n.AchatCalc, purchase);
    c.show(Field::Achat, c.toShown(purchase, setup.purchaseWithVat), &c.n.AchatAff);
    if (isNonZero(purchase))
        c.show(Field::TauxMarge, percentOf(grossMargin, purchase), &c.n.TauxMarge);
    if (grossMargin)
        c.coefficientFromMarkup(c.read(Field::TauxMarque));
}

void coefficientMode(Computation &c, const MarginSetup &setup, Value achatHT, Value venteHT)
{
    if (c.isEmpty(Field::Coef))
        return;
    const Value coefficient = c.read(Field::Coef);
    if (setup.given == GivenPrice::Selling) {
        const Value purchase =
            venteHT && coefficient ? finite(*venteHT / *coefficient) : std::nullopt;
        Computation::keep(c.n.AchatCalc, purchase);
        c.show(Field::Achat, c.toShown(purchase, setup.purchaseWithVat), &c.n.AchatAff);
        const Value margin = c.show(Field::MargeBrute, minus(venteHT, purchase), &c.n.MargeBrute);
        if (isNonZero(venteHT))
            c.show(Field::TauxMarque, percentOf(margin, venteHT), &c.n.TauxMarque);
        if (isNonZero(purchase))
            c.show(Field::TauxMarge, percentOf(margin, purchase), &c.n.TauxMarge);
    } else if (setup.given == GivenPrice::Purchase) {
        const Value selling = times(achatHT, coefficient);
        Computation::keep(c.n.VenteCalc, selling);
        c.show(Field::Vente, c.toShown(selling, setup.sellingWithVat), &c.n.VenteAff);
        const Value margin = c.show(Field::MargeBrute, minus(selling, achatHT), &c.n.MargeBrute);
        if (isNonZero(selling))
            c.show(Field::TauxMarque, percentOf(margin, selling), &c.n.TauxMarque);
        if (isNonZero(achatHT))
            c.show(Field::TauxMarge, percentOf(margin, achatHT), &c.n.TauxMarge);
    }
}

// The gross margin is the typed one; the kept gross margin is left alone in this mode. The
// coefficient comes from the mark-up rate as shown, read back in full.
void grossMarginMode(Computation &c, const MarginSetup &setup, Value achatHT, Value venteHT)
{
    const Value margin = c.read(Field::MargeBrute);
    if (setup.given == GivenPrice::Selling) {
        const Value purchase = minus(venteHT, margin);
        Computation::keep(c.n.AchatCalc, purchase);
        c.show(Field::Achat, c.toShown(purchase, setup.purchaseWithVat), &c.n.AchatAff);
        if (isNonZero(venteHT)) {
            const Value ratio = margin ? finite(*margin / *venteHT) : margin;
            c.show(Field::TauxMarque, ratio ? finite(*ratio * 100.0) : ratio, &c.n.TauxMarque);
        }
        if (isNonZero(purchase))
            c.show(Field::TauxMarge, percentOf(margin, purchase), &c.n.TauxMarge);
        if (purchase)
            c.coefficientFromMarkup(c.read(Field::TauxMarque));
    } else if (setup.given == GivenPrice::Purchase) {
        const Value selling = plus(achatHT, margin);
        Computation::keep(c.n.VenteCalc, selling);
        c.show(Field::Vente, c.toShown(selling, setup.sellingWithVat), &c.n.VenteAff);
        if (isNonZero(selling))
            c.show(Field::TauxMarque, percentOf(margin, selling), &c.n.TauxMarque);
        if (isNonZero(achatHT))
            c.show(Field::TauxMarge, percentOf(margin, achatHT), &c.n.TauxMarge);
        if (selling)
            c.coefficientFromMarkup(c.read(Field::TauxMarque));
    }
}

} // namespace

std::optional<double> withoutVat(double price, std::optional<double> rate)
{
    if (!rate)
        return std::nullopt;
    const double share = *rate / 100.0;
    const double factor = 1.0 + share;
    return finite(price / factor);
}

std::optional<double> withVat(double price, std::optional<double> rate)
{
    if (!rate)
        return std::nullopt;
    const double hundredth = price / 100.0;
    const double vat = hundredth * *rate;
    return finite(price + vat);
}

FieldWrites MarginCalculator::calculate(const MarginSetup &setup, const FieldTexts &fields,
                                        std::optional<double> firstRate, QChar regionalMark)
{
    Computation c(m_numbers, fields, firstRate, regionalMark);

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
        marginRateMode(c, setup, achatHT);
        break;
    case Mode::MarkupRate:
        markupRateMode(c, setup, venteHT);
        break;
    case Mode::Coefficient:
        coefficientMode(c, setup, achatHT, venteHT);
        break;
    case Mode::GrossMargin:
        grossMarginMode(c, setup, achatHT, venteHT);
        break;
    }
    return c.writes;
}

} // namespace margin
