// Selling prices raised to a price ending, and the margin computation at the raised price.

#include "margin/margincalc.h"
#include "margin/priceending.h"
#include "margin/shownquantities.h"

#include <QTest>

using namespace margin;

Q_DECLARE_METATYPE(margin::PriceEnding)

namespace {

const QChar comma(',');
const QString untouched = QStringLiteral("~");

QStringList listOf(const FieldWrites &writes)
{
    QStringList list;
    for (const auto &w : writes)
        list << (w ? *w : untouched);
    return list;
}

} // namespace

class TestPriceEnding : public QObject
{
    Q_OBJECT

private slots:
    void raise_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<PriceEnding>("ending");
        QTest::addColumn<double>("raised");
        QTest::newRow("up to ,90") << 23.47 << PriceEnding::Ninety << 23.9;
        QTest::newRow("past ,90 to the next euro") << 23.91 << PriceEnding::Ninety << 24.9;
        QTest::newRow("already ,90") << 23.9 << PriceEnding::Ninety << 23.9;
        QTest::newRow("past ,95") << 23.96 << PriceEnding::NinetyFive << 24.95;
        QTest::newRow("already ,99") << 23.99 << PriceEnding::NinetyNine << 23.99;
        QTest::newRow("whole euro stays") << 24.0 << PriceEnding::WholeEuro << 24.0;
        QTest::newRow("to the next euro") << 23.01 << PriceEnding::WholeEuro << 24.0;
        QTest::newRow("noise above the cent") << 124.80000000000001 << PriceEnding::Ninety << 124.9;
        QTest::newRow("zero stays") << 0.0 << PriceEnding::Ninety << 0.0;
        QTest::newRow("negative stays") << -5.0 << PriceEnding::Ninety << -5.0;
    }
    void raise()
    {
        QFETCH(double, price);
        QFETCH(PriceEnding, ending);
        QFETCH(double, raised);
        QCOMPARE(raiseToPriceEnding(price, ending), raised);
    }

    // Fields in the order Achat, Vente, TauxMarge, TauxMarque, Coef, MargeBrute; the first VAT
    // rate is 20.
    void margin_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("given");
        QTest::addColumn<bool>("pvTtc");
        QTest::addColumn<PriceEnding>("ending");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("written");
        const int coef = int(Mode::Coefficient), marge = int(Mode::MarginRate),
                  brut = int(Mode::GrossMargin), marque = int(Mode::MarkupRate);
        const int pa = int(GivenPrice::Purchase), pv = int(GivenPrice::Selling);
        // 104 HT is 124,80 TTC, shown at 124,90 TTC, that is 104,0833 HT.
        QTest::newRow("coefficient, TTC ,90")
            << coef << pa << true << PriceEnding::Ninety << QStringList{"80", "", "", "", "1.3", ""}
            << QStringList{"~", "124,90", "30,1", "23,14", "~", "24,08"};
        QTest::newRow("margin rate, HT ,90")
            << marge << pa << false << PriceEnding::Ninety
            << QStringList{"80", "", "25", "", "", ""}
            << QStringList{"~", "100,90", "~", "20,71", "1,26", "20,9"};
        QTest::newRow("gross margin, HT already on the euro")
            << brut << pa << false << PriceEnding::WholeEuro
            << QStringList{"80", "", "", "", "", "20"}
            << QStringList{"~", "100,00", "25", "20", "1,25", "~"};
        QTest::newRow("gross margin, HT to the euro")
            << brut << pa << false << PriceEnding::WholeEuro
            << QStringList{"80", "", "", "", "", "20.5"}
            << QStringList{"~", "101,00", "26,25", "20,79", "1,26", "~"};
        QTest::newRow("selling price given: nothing raised")
            << marque << pv << false << PriceEnding::Ninety
            << QStringList{"", "100", "", "20", "", ""}
            << QStringList{"80", "~", "25", "~", "1,25", "20"};
    }
    void margin()
    {
        QFETCH(int, mode);
        QFETCH(int, given);
        QFETCH(bool, pvTtc);
        QFETCH(PriceEnding, ending);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, written);
        FieldTexts texts;
        for (std::size_t i = 0; i < FieldCount; ++i)
            texts[i] = fields.at(qsizetype(i));
        const MarginSetup setup{Mode(mode), GivenPrice(given), false, pvTtc};
        MarginCalculator calculator;
        calculator.setPriceEnding(ending);
        const FieldWrites writes = calculator.calculate(setup, texts, 20.0, comma);
        QCOMPARE(listOf(writes), written);

        // The tape's block says the price was raised, just below it.
        QStringList captions;
        for (const ShownQuantity &q :
             shownQuantities(setup, texts, writes, calculator.lastPriceEnding()))
            captions << q.caption;
        const bool raised = GivenPrice(given) == GivenPrice::Purchase;
        QCOMPARE(captions.contains("Prix de vente arrondi " + priceEndingText(ending)), raised);
        if (raised)
            QCOMPARE(captions.indexOf("Prix de vente arrondi " + priceEndingText(ending)),
                     captions.indexOf(QRegularExpression("^Prix de vente (HT|TTC)$")) + 1);
    }
};

QTEST_GUILESS_MAIN(TestPriceEnding)
#include "test_priceending.moc"
