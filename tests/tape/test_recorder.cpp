// What each calculation writes on the tape: key sequences, VAT keys, margin computations and
// price changes, and the grand total they make.

#include "margin/margincalc.h"
#include "margin/pricechange.h"
#include "margin/shownquantities.h"
#include "tape/recorder.h"
#include "tape/tape.h"
#include "vat/vatkeys.h"

#include <QTest>

using tape::Line;

namespace {

// "TVA 20 % 20", "120 *": label, amount and mark as a row of the tape reads.
QStringList texts(const QList<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << QStringList{l.label, l.amount, l.mark}.join(u' ').trimmed();
    return out;
}

// Runs keys on a calculator and returns what it wrote. Calculator characters are typed;
// C and D are the clear and Delete keys; T, H, V and d are the TTC, HT, TVA and dont TVA keys.
QList<Line> run(const QString &keys, const QString &rate)
{
    calc::CalculatorEngine engine(QLatin1Char(','));
    QList<Line> written;
    engine.setKeyListener([&](const calc::KeyStroke &key, const calc::CalculatorState &before,
                              const QString &displayBefore, const calc::CalculatorEngine &after) {
        written += tape::keyLines(key, before, displayBefore, after);
    });
    const QString vatKeys = QStringLiteral("THVd");
    for (const QChar c : keys) {
        if (c == u'C') {
            engine.clear();
        } else if (c == u'D') {
            engine.deleteKey();
        } else if (const auto k = vatKeys.indexOf(c); k >= 0) {
            vat::VatStep step;
            if (vat::applyVatKey(engine, vat::VatKey(k), rate, &step))
                written += tape::vatLines(
                    {tape::VatKind(k), step.display, step.amount, rate, step.resultText},
                    engine.regionalMark());
        } else {
            engine.keyPress(c);
        }
    }
    return written;
}

qint64 grandTotal(const QList<Line> &lines)
{
    tape::Tape tape(QStringLiteral("/nonexistent-folder-for-a-test"));
    tape.append(lines);
    const qint64 total = tape.grandTotalCents();
    tape.clear(); // nothing pending for a folder that does not exist
    return total;
}

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void margin_data();
    void margin();
    void priceChange_data();
    void priceChange();
    void rateSwitch();
};

void TestRecorder::keys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("total");
    const QString r20 = QStringLiteral("20");
    const QString r55 = QStringLiteral("5,5");
    QTest::newRow("sum") << "100+20=" << r20 << QStringList{"100 +", "20 =", "120 *"} << 12000ll;
    QTest::newRow("chained operations")
        << "6+2*3=" << r20 << QStringList{"6 +", "2 ×", "3 =", "24 *"} << 2400ll;
    QTest::newRow("result taken further")
        << "10/4=*2=" << r20 << QStringList{"10 ÷", "4 =", "2,5 *", "2,5 ×", "2 =", "5 *"} << 750ll;
    QTest::newRow("same operator twice writes nothing")
        << "7++1=" << r20 << QStringList{"7 +", "1 =", "8 *"} << 800ll;
    QTest::newRow("other operator: the operand again")
        << "7+-1=" << r20 << QStringList{"7 +", "7 -", "1 =", "6 *"} << 600ll;
    QTest::newRow("percentage") << "50+10%=" << r20 << QStringList{"50 +", "10 %", "55 *"}
                                << 5500ll;
    QTest::newRow("discount percentage")
        << "80-25%=" << r20 << QStringList{"80 -", "25 %", "60 *"} << 6000ll;
    QTest::newRow("percentage carried by an operator")
        << "50+10%+5=" << r20 << QStringList{"50 +", "10 %", "55 *", "55 +", "5 =", "60 *"}
        << 11500ll;
    QTest::newRow("operand as keyed, result as shown")
        << "007,50+1=" << r20 << QStringList{"7,50 +", "1 =", "8,5 *"} << 850ll;
    QTest::newRow("negative fraction")
        << "0-0,5=" << r20 << QStringList{"0 -", "0,5 =", "-0,5 *"} << -50ll;
    QTest::newRow("digits alone write nothing") << "123,45" << r20 << QStringList{} << 0ll;
    QTest::newRow("clear") << "12+C" << r20 << QStringList{"12 +", "0 C"} << 0ll;
    QTest::newRow("second clear writes nothing") << "12CC" << r20 << QStringList{"0 C"} << 0ll;
    QTest::newRow("Delete") << "12D" << r20 << QStringList{"0 C"} << 0ll;
    QTest::newRow("equals without an operand writes nothing") << "=" << r20 << QStringList{} << 0ll;
    QTest::newRow("long result rounded in the total")
        << "10/3=" << r20 << QStringList{"10 ÷", "3 =", "3,33333333333333 *"} << 333ll;
    QTest::newRow("TTC at 20") << "100T" << r20 << QStringList{"100 HT", "TVA 20 % 20", "120 TTC"}
                               << 12000ll;
    QTest::newRow("HT at 20") << "120H" << r20 << QStringList{"120 TTC", "TVA 20 % 20", "100 HT"}
                              << 10000ll;
    QTest::newRow("TVA at 20") << "100V" << r20 << QStringList{"100 HT", "TVA 20 % 20", "20 TVA"}
                               << 2000ll;
    QTest::newRow("dont TVA at 20")
        << "120d" << r20 << QStringList{"120 TTC", "TVA 20 % 20", "20 TVA"} << 2000ll;
    QTest::newRow("TTC at 5,5") << "100T" << r55
                                << QStringList{"100 HT", "TVA 5,5 % 5,5", "105,5 TTC"} << 10550ll;
    QTest::newRow("HT at 5,5") << "200H" << r55
                               << QStringList{"200 TTC", "TVA 5,5 % 10,43", "189,57 HT"} << 18957ll;
    QTest::newRow("dont TVA at 5,5")
        << "211d" << r55 << QStringList{"211 TTC", "TVA 5,5 % 11", "11 TVA"} << 1100ll;
    QTest::newRow("second VAT key writes nothing")
        << "100TT" << r20 << QStringList{"100 HT", "TVA 20 % 20", "120 TTC"} << 12000ll;
    QTest::newRow("VAT on a result")
        << "99,5+0,5=T" << r20
        << QStringList{"99,5 +", "0,5 =", "100 *", "100 HT", "TVA 20 % 20", "120 TTC"} << 22000ll;
}

void TestRecorder::keys()
{
    QFETCH(QString, keys);
    QFETCH(QString, rate);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    const QList<Line> written = run(keys, rate);
    QCOMPARE(texts(written), lines);
    QCOMPARE(grandTotal(written), total);
}

void TestRecorder::margin_data()
{
    using margin::Field;
    using margin::Mode;
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("given");
    QTest::addColumn<bool>("purchaseWithVat");
    QTest::addColumn<QStringList>("typed"); // the six fields, in the window's order
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("free") << int(Mode::Free) << int(margin::GivenPrice::None) << false
                          << QStringList{"80", "106.67", "", "", "", ""}
                          << QStringList{"Prix d'achat HT 80", "Prix de vente HT 106,67",
                                         "T de marge 33,34 %", "T de marque 25 %",
                                         "Coefficient 1,33",   "Marge brute HT 26,67"};
    QTest::newRow("coefficient fixed, purchase price with VAT")
        << int(Mode::Coefficient) << int(margin::GivenPrice::Purchase) << true
        << QStringList{"119.6", "", "", "", "2", ""}
        << QStringList{"Prix d'achat TTC 119,6", "Prix de vente HT 200", "T de marge 100 %",
                       "T de marque 50 %",       "Coefficient 2",        "Marge brute HT 100"};
    QTest::newRow("nothing computed writes nothing")
        << int(Mode::Free) << int(margin::GivenPrice::None) << false
        << QStringList{"", "", "", "", "", ""} << QStringList{};
}

void TestRecorder::margin()
{
    QFETCH(int, mode);
    QFETCH(int, given);
    QFETCH(bool, purchaseWithVat);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, lines);
    const margin::MarginSetup setup{margin::Mode(mode), margin::GivenPrice(given), purchaseWithVat,
                                    false};
    margin::FieldTexts fields;
    std::copy(typed.begin(), typed.end(), fields.begin());
    margin::MarginCalculator calculator;
    const auto writes = calculator.calculate(setup, fields, 19.6, QLatin1Char(','));
    QList<tape::Shown> shown;
    for (const auto &q : margin::shownQuantities(setup, fields, writes))
        shown.append({q.caption, q.text, q.rate ? QStringLiteral("%") : QString(), q.computed});
    QCOMPARE(texts(tape::shownLines(shown, QLatin1Char(','))), lines);
}

void TestRecorder::priceChange_data()
{
    QTest::addColumn<bool>("fixedRate");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<QStringList>("fields"); // TxtN1, TxtN2, TxtRem before "Calculer"
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("fixed discount") << true << false << QStringList{"200", "", "10"}
                                    << QStringList{"Remise 10 %", "200", "180 *"};
    QTest::newRow("fixed increase") << true << true << QStringList{"200", "", "2.5"}
                                    << QStringList{"Hausse 2,5 %", "200", "205 *"};
    QTest::newRow("discount found") << false << false << QStringList{"250", "200", ""}
                                    << QStringList{"250", "200", "Remise 20 %"};
}

void TestRecorder::priceChange()
{
    QFETCH(bool, fixedRate);
    QFETCH(bool, increase);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, lines);
    margin::PriceChange change;
    const auto writes =
        change.calculate(fixedRate ? margin::ChangeMode::FixedRate : margin::ChangeMode::Rate,
                         increase ? margin::Direction::Increase : margin::Direction::Discount,
                         {fields[0], fields[1], fields[2]}, QLatin1Char(','));
    const tape::PriceChangeDone done{increase, fixedRate, fields[0],
                                     writes.second.value_or(fields[1]),
                                     writes.rate.value_or(fields[2])};
    const QList<Line> written = tape::priceChangeLines(done, QLatin1Char(','));
    QCOMPARE(texts(written), lines);
    // The result is in bold, but a price change is not a result of the calculator's keys.
    QVERIFY(written.last().result);
    QCOMPARE(grandTotal(written), 0);
}

void TestRecorder::rateSwitch()
{
    QCOMPARE(texts({tape::rateSwitchLine(QStringLiteral("5,5"))}),
             QStringList{"Taux de TVA : 5,5 %"});
}

QTEST_GUILESS_MAIN(TestRecorder)
#include "test_recorder.moc"
