// The price-change calculator without a window: the rate between two values, and a value after
// a fixed discount or increase.

#include "margin/pricechange.h"

#include <QTest>

using namespace margin;

namespace {
const QString untouched = QStringLiteral("~");
const QString huge = QString(400, QLatin1Char('9'));
} // namespace

class TestPriceChange : public QObject
{
    Q_OBJECT

private slots:
    void calculate_data();
    void calculate();
};

void TestPriceChange::calculate_data()
{
    QTest::addColumn<bool>("fixedRate");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<QString>("n1");
    QTest::addColumn<QString>("n2");
    QTest::addColumn<QString>("rem");
    QTest::addColumn<QString>("remWritten");
    QTest::addColumn<QString>("n2Written");
    const QString u = untouched;

    auto row = [](const char *name, bool fixedRate, bool increase, const QString &n1,
                  const QString &n2, const QString &rem, const QString &remWritten,
                  const QString &n2Written) {
        QTest::newRow(name) << fixedRate << increase << n1 << n2 << rem << remWritten << n2Written;
    };

    // Rate mode: the rate is written only while TxtRem is empty.
    row("discount 100 80", false, false, "100", "80", "", "20", u);
    row("discount 80 100", false, false, "80", "100", "", "20", u);
    row("increase 100 80", false, true, "100", "80", "", "25", u);
    row("increase 80 100", false, true, "80", "100", "", "25", u);
    row("discount 3 9", false, false, "3", "9", "", "66,67", u);
    row("increase 3 9", false, true, "3", "9", "", "200", u);
    row("equal values", false, false, "50", "50", "", "0", u);
    row("one value 0", false, true, "0", "80", "", "0", u);
    row("one value empty", false, false, "100", "", "", "0", u);
    row("both empty", false, true, "", "", "", "0", u);
    row("only '.'", false, false, ".", "5", "", "0", u);
    row("reads up to the second point", false, false, "12.5.3", "25", "", "50", u);
    row("rate still shown", false, false, "100", "80", "0", u, u);
    row("rate typed in rate mode", false, true, "100", "80", "20", u, u);
    row("value out of range", false, false, huge, "80", "", u, u);
    row("second value out of range", false, true, "80", huge, "", u, u);
    // A rise of 1E602 percent is beyond any double: nothing rather than "inf".
    row("increase beyond range", false, true, "1E-300", "1E300", "", u, u);
    row("discount from far below", false, false, "1E-300", "1E300", "", "100", u);

    // Fixed-rate mode: a rate other than 0 applied to the first value.
    row("fixed increase 10 on 200", true, true, "200", "", "10", u, "220");
    row("fixed discount 10 on 200", true, false, "200", "", "10", u, "180");
    row("fixed discount 150 on 100", true, false, "100", "", "150", u, "-50");
    row("fixed increase 5.5 on 100", true, true, "100", "", "5.5", u, "105,5");
    row("fixed discount tie to even", true, false, "1", "", "12.5", u, "0,88");
    row("fixed increase tie to even", true, true, "0.1", "", "25", u, "0,12");
    row("fixed discount 100 on 80", true, false, "80", "", "100", u, "0");
    row("fixed value empty", true, true, "", "", "10", u, "0");
    row("fixed rate empty", true, true, "200", "", "", u, u);
    row("fixed rate 0", true, false, "200", "", "0", u, u);
    row("fixed rate '.'", true, false, "200", "", ".", u, u);
    row("fixed old result ignored", true, true, "200", "999", "10", u, "220");
    row("fixed value out of range", true, true, huge, "", "10", u, u);
    row("fixed tiny fall shows no minus", true, false, "100", "", "100.001", u, "0");
    row("fixed rate out of range", true, false, "200", "", huge, u, u);
    row("fixed increase beyond range", true, true, "1E308", "", "200", u, u);
    row("fixed discount beyond range", true, false, "-1E308", "", "300", u, u);
}

void TestPriceChange::calculate()
{
    QFETCH(bool, fixedRate);
    QFETCH(bool, increase);
    QFETCH(QString, n1);
    QFETCH(QString, n2);
    QFETCH(QString, rem);
    QFETCH(QString, remWritten);
    QFETCH(QString, n2Written);

    PriceChange change;
    const PriceChangeWrites writes = change.calculate(
        fixedRate ? ChangeMode::FixedRate : ChangeMode::Rate,
        increase ? Direction::Increase : Direction::Discount, {n1, n2, rem}, QLatin1Char(','));
    QCOMPARE(writes.rate.value_or(untouched), remWritten);
    QCOMPARE(writes.second.value_or(untouched), n2Written);
}

QTEST_GUILESS_MAIN(TestPriceChange)
#include "test_pricechange.moc"
