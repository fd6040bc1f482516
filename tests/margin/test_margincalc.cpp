// The margin calculator without a window: what "Calculer" writes in every set-up, with prices
// typed with or without VAT, and the numbers it keeps from one computation to the next.

#include "margin/margincalc.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace margin;

namespace {

const QChar comma(',');
// A field the computation leaves alone.
const QString untouched = QStringLiteral("~");
// A number far beyond the range of a double.
const QString huge = QString(400, QLatin1Char('9'));

struct ModeCode
{
    const char *code;
    Mode mode;
    GivenPrice given;
};

const ModeCode modeCodes[] = {
    {"free", Mode::Free, GivenPrice::None},
    {"marge", Mode::MarginRate, GivenPrice::Purchase},
    {"marque", Mode::MarkupRate, GivenPrice::Selling},
    {"coef/PA", Mode::Coefficient, GivenPrice::Purchase},
    {"coef/PV", Mode::Coefficient, GivenPrice::Selling},
    {"brut/PA", Mode::GrossMargin, GivenPrice::Purchase},
    {"brut/PV", Mode::GrossMargin, GivenPrice::Selling},
    // The two modes that need a given price, before the user has chosen one.
    {"coef/-", Mode::Coefficient, GivenPrice::None},
    {"brut/-", Mode::GrossMargin, GivenPrice::None},
};

MarginSetup setupFor(const QString &code, bool paTtc, bool pvTtc)
{
    for (const ModeCode &m : modeCodes) {
        if (code == QLatin1String(m.code))
            return {m.mode, m.given, paTtc, pvTtc};
    }
    qFatal("unknown mode code");
}

std::optional<double> rateFrom(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text.toDouble();
}

FieldTexts textsOf(const QStringList &list)
{
    FieldTexts texts;
    for (std::size_t i = 0; i < FieldCount; ++i)
        texts[i] = list.at(static_cast<qsizetype>(i));
    return texts;
}

QStringList listOf(const FieldWrites &writes)
{
    QStringList list;
    for (const auto &w : writes)
        list << (w ? *w : untouched);
    return list;
}

// Fields in the order Achat, Vente, TauxMarge, TauxMarque, Coef, MargeBrute.
void row(const char *name, const char *mode, bool paTtc, bool pvTtc, const char *rate,
         const QStringList &fields, const QStringList &written)
{
    QTest::newRow(name) << QString::fromLatin1(mode) << paTtc << pvTtc << QString::fromLatin1(rate)
                        << fields << written;
}

} // namespace

class TestMarginCalc : public QObject
{
    Q_OBJECT

private slots:
    void calculate_data();
    void calculate();
    void vatConversionsWorkInTheirOrder();
    void keptNumbersAreUnroundedAndOnlyOverwrittenWhenComputed();
    void marginRateModeFallsBackOnLastMarkupRate();
    void coefficientFollowsShownMarkupRateInGrossMarginMode();
};

void TestMarginCalc::calculate_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("paTtc");
    QTest::addColumn<bool>("pvTtc");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("written");
    const QString u = untouched;

    // Free mode: both prices typed, the four ratios computed.
    row("free 80/100", "free", false, false, "19.6", {"80", "100", "0", "0", "0", "0"},
        {u, u, "25", "20", "1,25", "20"});
    row("free 3/4", "free", false, false, "19.6", {"3", "4", "", "", "", ""},
        {u, u, "33,33", "25", "1,33", "1"});
    row("free selling empty", "free", false, false, "19.6", {"80", "", "0", "0", "0", "0"},
        {u, u, u, u, u, u});
    row("free purchase 0", "free", false, false, "19.6", {"0", "100", "", "", "", ""},
        {u, u, u, u, u, u});
    row("free selling below purchase", "free", false, false, "19.6", {"100", "80", "", "", "", ""},
        {u, u, "-20", "-25", "0,8", "-20"});
    row("free PA TTC 119.6 at 19,6", "free", true, false, "19.6", {"119.6", "100", "", "", "", ""},
        {u, u, "0", "0", "1", "0"});
    row("free PV TTC 119.6 at 19,6", "free", false, true, "19.6", {"80", "119.6", "", "", "", ""},
        {u, u, "25", "20", "1,25", "20"});
    row("free PA TTC 105.5 at 5,5", "free", true, false, "5.5", {"105.5", "150", "", "", "", ""},
        {u, u, "50", "33,33", "1,5", "50"});
    row("free both TTC at 5,5", "free", true, true, "5.5", {"105.5", "211", "", "", "", ""},
        {u, u, "100", "50", "2", "100"});
    row("free PA TTC without a rate", "free", true, false, "", {"119.6", "100", "", "", "", ""},
        {u, u, u, u, u, u});
    row("free without a rate, no price with VAT", "free", false, false, "",
        {"80", "100", "", "", "", ""}, {u, u, "25", "20", "1,25", "20"});
    row("free price out of range", "free", false, false, "19.6", {huge, "100", "", "", "", ""},
        {u, u, u, u, u, u});
    row("free tiny loss shows no minus", "free", false, false, "19.6",
        {"100", "99.999", "", "", "", ""}, {u, u, "0", "0", "1", "0"});
    row("free PA TTC out of range", "free", true, false, "19.6", {huge, "100", "", "", "", ""},
        {u, u, u, u, u, u});
    row("free PV TTC out of range", "free", false, true, "19.6", {"80", huge, "", "", "", ""},
        {u, u, u, u, u, u});
    row("free reads up to the second point", "free", false, false, "19.6",
        {"1.2.3", "2.4", "", "", "", ""}, {u, u, "100", "50", "2", "1,2"});

    // Margin rate fixed, purchase price given.
    row("marge 25 on 80", "marge", false, false, "19.6", {"80", "", "25", "", "", ""},
        {u, "100", u, "20", "1,25", "20"});
    row("marge 25 on 80 PV TTC", "marge", false, true, "19.6", {"80", "", "25", "", "", ""},
        {u, "119,6", u, "20", "1,25", "20"});
    row("marge 25 on 95.68 PA TTC", "marge", true, false, "19.6", {"95.68", "", "25", "", "", ""},
        {u, "100", u, "20", "1,25", "20"});
    row("marge 100 on 80", "marge", false, false, "19.6", {"80", "", "100", "", "", ""},
        {u, "160", u, "50", "2", "80"});
    row("marge tie 0,125 to even", "marge", false, false, "19.6", {"1", "", "12.5", "", "", ""},
        {u, "1,12", u, "11,11", "1,12", "0,12"});
    row("marge tie 0,375 to even", "marge", false, false, "19.6", {"1", "", "37.5", "", "", ""},
        {u, "1,38", u, "27,27", "1,38", "0,38"});
    row("marge purchase empty", "marge", false, false, "19.6", {"", "", "25", "", "", ""},
        {u, u, u, u, u, u});
    row("marge rate empty", "marge", false, false, "19.6", {"80", "", "", "", "", ""},
        {u, u, u, u, u, u});
    row("marge purchase '.'", "marge", false, false, "19.6", {".", "", "25", "", "", ""},
        {u, "0", u, u, "1", "0"});
    row("marge PV TTC without a rate", "marge", false, true, "", {"80", "", "25", "", "", ""},
        {u, u, u, "20", "1,25", "20"});
    row("marge PA TTC without a rate", "marge", true, false, "", {"80", "", "25", "", "", ""},
        {u, u, u, u, u, u});
    row("marge rate out of range", "marge", false, false, "19.6", {"80", "", huge, "", "", ""},
        {u, u, u, u, u, u});

    // Mark-up rate fixed, selling price given.
    row("marque 20 on 100", "marque", false, false, "19.6", {"", "100", "", "20", "", ""},
        {"80", u, "25", u, "1,25", "20"});
    row("marque 20 on 100 PA TTC", "marque", true, false, "19.6", {"", "100", "", "20", "", ""},
        {"95,68", u, "25", u, "1,25", "20"});
    row("marque 20 on 119.6 PV TTC", "marque", false, true, "19.6", {"", "119.6", "", "20", "", ""},
        {"80", u, "25", u, "1,25", "20"});
    row("marque 100 on 100", "marque", false, false, "19.6", {"", "100", "", "100", "", ""},
        {"0", u, u, u, u, "100"});
    row("marque 50 on 5,5 % TTC", "marque", true, true, "5.5", {"", "211", "", "50", "", ""},
        {"105,5", u, "100", u, "2", "100"});
    row("marque selling empty", "marque", false, false, "19.6", {"", "", "", "20", "", ""},
        {u, u, u, u, u, u});
    row("marque rate empty", "marque", false, false, "19.6", {"", "100", "", "", "", ""},
        {u, u, u, u, u, u});
    row("marque rate out of range", "marque", false, false, "19.6", {"", "100", "", huge, "", ""},
        {u, u, u, u, u, u});
    row("marque PV TTC without a rate", "marque", false, true, "", {"", "100", "", "20", "", ""},
        {u, u, u, u, u, u});

    // Coefficient fixed, either price given.
    row("coef 1.25 on purchase 80", "coef/PA", false, false, "19.6", {"80", "", "", "", "1.25", ""},
        {u, "100", "25", "20", u, "20"});
    row("coef 1.25 on selling 100", "coef/PV", false, false, "19.6",
        {"", "100", "", "", "1.25", ""}, {"80", u, "25", "20", u, "20"});
    row("coef 1.25 on purchase 80 PV TTC", "coef/PA", false, true, "19.6",
        {"80", "", "", "", "1.25", ""}, {u, "119,6", "25", "20", u, "20"});
    row("coef 1.25 on selling 119.6 both TTC", "coef/PV", true, true, "19.6",
        {"", "119.6", "", "", "1.25", ""}, {"95,68", u, "25", "20", u, "20"});
    row("coef 0 on selling 100", "coef/PV", false, false, "19.6", {"", "100", "", "", "0", ""},
        {u, u, u, u, u, u});
    row("coef '.' on selling 100", "coef/PV", false, false, "19.6", {"", "100", "", "", ".", ""},
        {u, u, u, u, u, u});
    row("coef 0 on purchase 80", "coef/PA", false, false, "19.6", {"80", "", "", "", "0", ""},
        {u, "0", "-100", u, u, "-80"});
    row("coef 2 on purchase 0", "coef/PA", false, false, "19.6", {"0", "", "", "", "2", ""},
        {u, "0", u, u, u, "0"});
    row("coef 2 on empty purchase", "coef/PA", false, false, "19.6", {"", "", "", "", "2", ""},
        {u, "0", u, u, u, "0"});
    row("coef empty", "coef/PA", false, false, "19.6", {"80", "", "", "", "", ""},
        {u, u, u, u, u, u});
    row("coef on selling 0", "coef/PV", false, false, "19.6", {"", "0", "", "", "2", ""},
        {"0", u, u, u, u, "0"});
    row("coef before a price is chosen", "coef/-", false, false, "19.6",
        {"80", "100", "", "", "1.25", ""}, {u, u, u, u, u, u});
    row("coef out of range on purchase 80", "coef/PA", false, false, "19.6",
        {"80", "", "", "", huge, ""}, {u, u, u, u, u, u});
    row("coef out of range on selling 100", "coef/PV", false, false, "19.6",
        {"", "100", "", "", huge, ""}, {u, u, u, u, u, u});
    row("coef PA TTC without a rate", "coef/PA", true, false, "", {"80", "", "", "", "1.25", ""},
        {u, u, u, u, u, u});
    row("coef PV TTC without a rate", "coef/PV", false, true, "", {"", "100", "", "", "1.25", ""},
        {u, u, u, u, u, u});
    // The selling price is known, only its price with VAT is not: what depends on the price
    // without VAT is still written.
    row("coef shown PV TTC without a rate", "coef/PA", false, true, "",
        {"80", "", "", "", "1.25", ""}, {u, u, "25", "20", u, "20"});
    row("coef shown PA TTC without a rate", "coef/PV", true, false, "",
        {"", "100", "", "", "1.25", ""}, {u, u, "25", "20", u, "20"});
    row("coef selling beyond range", "coef/PA", false, false, "19.6",
        {"1E300", "", "", "", "1E10", ""}, {u, u, u, u, u, u});
    row("coef purchase beyond range", "coef/PV", false, false, "19.6",
        {"", "1E300", "", "", "1E-10", ""}, {u, u, u, u, u, u});
    row("coef shown selling beyond range", "coef/PA", false, true, "19.6",
        {"1.6E308", "", "", "", "1", ""}, {u, u, "0", "0", u, "0"});

    // Gross margin fixed, either price given.
    row("brut 1 on selling 3", "brut/PV", false, false, "19.6", {"", "3", "", "", "", "1"},
        {"2", u, "50", "33,33", "1,5", u});
    row("brut 20 on purchase 80", "brut/PA", false, false, "19.6", {"80", "", "", "", "", "20"},
        {u, "100", "25", "20", "1,25", u});
    row("brut 20 on purchase 80 PV TTC", "brut/PA", false, true, "19.6",
        {"80", "", "", "", "", "20"}, {u, "119,6", "25", "20", "1,25", u});
    row("brut 20 on selling 119.6 both TTC", "brut/PV", true, true, "19.6",
        {"", "119.6", "", "", "", "20"}, {"95,68", u, "25", "20", "1,25", u});
    row("brut empty on purchase 80", "brut/PA", false, false, "19.6", {"80", "", "", "", "", ""},
        {u, "80", "0", "0", "1", u});
    row("brut 5 on selling 0 keeps shown mark-up", "brut/PV", false, false, "19.6",
        {"", "0", "", "50", "", "5"}, {"-5", u, "-100", u, "2", u});
    row("brut 100 on purchase 0", "brut/PA", false, false, "19.6", {"0", "", "", "", "", "100"},
        {u, "100", u, "100", u, u});
    row("brut PA TTC without a rate", "brut/PA", true, false, "", {"80", "", "", "", "", "20"},
        {u, u, u, u, u, u});
    row("brut PV TTC without a rate", "brut/PV", false, true, "", {"", "100", "", "", "", "20"},
        {u, u, u, u, u, u});
    row("brut shown PV TTC without a rate", "brut/PA", false, true, "",
        {"80", "", "", "", "", "20"}, {u, u, "25", "20", "1,25", u});
    row("brut shown PA TTC without a rate", "brut/PV", true, false, "",
        {"", "100", "", "", "", "20"}, {u, u, "25", "20", "1,25", u});
    row("brut before a price is chosen", "brut/-", false, false, "19.6",
        {"80", "100", "", "", "", "20"}, {u, u, u, u, u, u});
    row("brut out of range on purchase 80", "brut/PA", false, false, "19.6",
        {"80", "", "", "", "", huge}, {u, u, u, u, u, u});
    row("brut out of range on selling 100", "brut/PV", false, false, "19.6",
        {"", "100", "", "", "", huge}, {u, u, u, u, u, u});
    // 1E307 / 0.5 is a number, a hundred times that is not: no mark-up rate, and the coefficient
    // comes from what the mark-up field already holds (empty: 0).
    row("brut mark-up rate beyond range", "brut/PV", false, false, "19.6",
        {"", "0.5", "", "", "", "1E307"}, {"-1E+307", u, "-100", u, "1", u});
    // Selling price 0: no mark-up rate is computed, and the one the field holds cannot be read.
    row("brut shown mark-up out of range", "brut/PV", false, false, "19.6",
        {"", "0", "", huge, "", "5"}, {"-5", u, "-100", u, u, u});
    // The margin rate needs only the purchase price; the rest depends on the selling price.
    row("brut selling beyond range", "brut/PA", false, false, "19.6",
        {"1E308", "", "", "", "", "1E308"}, {u, u, "100", u, u, u});
}

void TestMarginCalc::calculate()
{
    QFETCH(QString, mode);
    QFETCH(bool, paTtc);
    QFETCH(bool, pvTtc);
    QFETCH(QString, rate);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, written);

    MarginCalculator calculator;
    const FieldWrites writes =
        calculator.calculate(setupFor(mode, paTtc, pvTtc), textsOf(fields), rateFrom(rate), comma);
    QCOMPARE(listOf(writes), written);
    for (const auto &w : writes) {
        if (w) {
            QVERIFY2(!w->contains(QLatin1String("inf")) && !w->contains(QLatin1String("nan")),
                     qPrintable(*w));
        }
    }
}

void TestMarginCalc::vatConversionsWorkInTheirOrder()
{
    QCOMPARE(withoutVat(119.6, 19.6), std::optional<double>(100.0));
    QCOMPARE(withVat(100.0, 19.6), std::optional<double>(119.6));
    QCOMPARE(withVat(80.0, 5.5), std::optional<double>(84.4));
    QCOMPARE(withoutVat(100.0, std::nullopt), std::nullopt);
    QCOMPARE(withVat(100.0, std::nullopt), std::nullopt);
    // A rate of -100 % has no price without VAT.
    QCOMPARE(withoutVat(100.0, -100.0), std::nullopt);
}

void TestMarginCalc::keptNumbersAreUnroundedAndOnlyOverwrittenWhenComputed()
{
    MarginCalculator calculator;
    calculator.calculate({Mode::Free, GivenPrice::None, false, false},
                         textsOf({"3", "4", "", "", "", ""}), 19.6, comma);
    MarginNumbers after = calculator.numbers();
    QCOMPARE(after.AchatHT, 3.0);
    QCOMPARE(after.VenteHT, 4.0);
    QCOMPARE(after.MargeBrute, 1.0);
    QCOMPARE(after.TauxMarque, 25.0);
    QCOMPARE(after.TauxMarge, 33.33333333333333);
    QCOMPARE(after.Coef, 1.3333333333333333);

    // The coefficient mode does not compute the coefficient: the one of free mode stays.
    calculator.calculate({Mode::Coefficient, GivenPrice::Purchase, false, false},
                         textsOf({"80", "", "", "", "1.25", ""}), 19.6, comma);
    QCOMPARE(calculator.numbers().VenteCalc, 100.0);
    QCOMPARE(calculator.numbers().TauxMarque, 20.0);
    QCOMPARE(calculator.numbers().Coef, after.Coef);

    // The mark-up mode works out the purchase price; the computed selling price of the earlier
    // computation and the mark-up rate it takes as typed stay as they were.
    calculator.calculate({Mode::MarkupRate, GivenPrice::Selling, true, false},
                         textsOf({"", "100", "", "50", "", ""}), 19.6, comma);
    after = calculator.numbers();
    QCOMPARE(after.VenteCalc, 100.0);
    QCOMPARE(after.AchatCalc, 50.0);
    QCOMPARE(after.AchatAff, 59.8);
    QCOMPARE(after.TauxMarque, 20.0);
    QCOMPARE(after.Coef, 2.0);

    // A computation that cannot read its price (no rate for a price with VAT) keeps the old one.
    calculator.calculate({Mode::Free, GivenPrice::None, true, false},
                         textsOf({"500", "600", "", "", "", ""}), std::nullopt, comma);
    QCOMPARE(calculator.numbers().AchatHT, after.AchatHT);
    QCOMPARE(calculator.numbers().VenteHT, 600.0);
}

void TestMarginCalc::marginRateModeFallsBackOnLastMarkupRate()
{
    MarginCalculator calculator;
    const MarginSetup marginRate{Mode::MarginRate, GivenPrice::Purchase, false, false};
    // No earlier computation: mark-up rate 0, coefficient 1.
    FieldWrites writes =
        calculator.calculate(marginRate, textsOf({".", "", "25", "", "", ""}), 19.6, comma);
    QCOMPARE(writes[index(Field::Coef)], QStringLiteral("1"));

    calculator.calculate({Mode::Free, GivenPrice::None, false, false},
                         textsOf({"3", "4", "", "", "", ""}), 19.6, comma);
    writes = calculator.calculate(marginRate, textsOf({".", "", "25", "", "", ""}), 19.6, comma);
    QCOMPARE(writes[index(Field::Vente)], QStringLiteral("0"));
    QCOMPARE(writes[index(Field::TauxMarque)], std::nullopt);
    QCOMPARE(writes[index(Field::Coef)], QStringLiteral("1,33"));
}

void TestMarginCalc::coefficientFollowsShownMarkupRateInGrossMarginMode()
{
    // Mark-up rate 100/7 = 14.2857... is shown as 14,29: the coefficient comes from the shown
    // value, 1 / (1 - 0.1429) = 1.16672..., not from 1 / (1 - 1/7) = 1.16666...
    MarginCalculator calculator;
    const FieldWrites writes =
        calculator.calculate({Mode::GrossMargin, GivenPrice::Selling, false, false},
                             textsOf({"", "700000", "", "", "", "100000"}), 19.6, comma);
    QCOMPARE(writes[index(Field::TauxMarque)], QStringLiteral("14,29"));
    QCOMPARE(calculator.numbers().Coef, 1.1667250029168126);
}

QTEST_GUILESS_MAIN(TestMarginCalc)
#include "test_margincalc.moc"
