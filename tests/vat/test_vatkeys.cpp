// The VAT keys on the calculator, the rate switch and the VAT frame's captions.

#include "calculator/engine.h"
#include "calculator/numbertext.h"
#include "vat/rate.h"
#include "vat/vatkeys.h"

#include <QTest>

using namespace vat;

Q_DECLARE_METATYPE(VatKey)
Q_DECLARE_METATYPE(vat::Rate)

namespace {

const QChar comma = QLatin1Char(',');

// A calculator in the middle of a calculation, with a number on its display keyed since the last
// VAT key.
calc::CalculatorEngine prepared(const QString &display, std::int16_t clicTva = -1)
{
    calc::CalculatorState state;
    state.N1 = 12.0;
    state.N2 = 3.0;
    state.N3 = 15.0;
    state.Signe = calc::Addition;
    state.TF = 0;
    state.virg = false;
    state.ok = true;
    state.Compteur = 1;
    state.ClicTva = clicTva;
    return calc::CalculatorEngine(comma, state, display);
}

} // namespace

class TestVatKeys : public QObject
{
    Q_OBJECT

private slots:
    void results_data()
    {
        QTest::addColumn<VatKey>("key");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("shown");

        QTest::newRow("TTC 19,6") << VatKey::TTC << "100"
                                  << "19,6"
                                  << "119,6 TTC";
        QTest::newRow("HT 19,6") << VatKey::HT << "100"
                                 << "19,6"
                                 << "83,61 HT";
        QTest::newRow("TVA 19,6") << VatKey::TVA << "100"
                                  << "19,6"
                                  << "TVA 19,6";
        QTest::newRow("dont TVA 19,6") << VatKey::DontTVA << "100"
                                       << "19,6"
                                       << "Dont TVA 16,39";
        QTest::newRow("TTC 5,5") << VatKey::TTC << "10"
                                 << "5,5"
                                 << "10,55 TTC";
        QTest::newRow("HT 5,5") << VatKey::HT << "10"
                                << "5,5"
                                << "9,48 HT";
        QTest::newRow("TVA 5,5") << VatKey::TVA << "10"
                                 << "5,5"
                                 << "TVA 0,55";
        QTest::newRow("dont TVA 5,5") << VatKey::DontTVA << "10"
                                      << "5,5"
                                      << "Dont TVA 0,52";
        QTest::newRow("TTC 20") << VatKey::TTC << "100"
                                << "20"
                                << "120 TTC";
        QTest::newRow("TTC 5,50") << VatKey::TTC << "10"
                                  << "5,50"
                                  << "10,55 TTC";
        QTest::newRow("rate with a point") << VatKey::TTC << "100"
                                           << "19.6"
                                           << "119,6 TTC";
        QTest::newRow("rate with trailing mark") << VatKey::TVA << "100"
                                                 << "5,"
                                                 << "TVA 5";

        // Exactly half a cent goes to the even cent.
        QTest::newRow("half cent TTC") << VatKey::TTC << "0.5"
                                       << "25"
                                       << "0,62 TTC";
        QTest::newRow("half cent TVA") << VatKey::TVA << "0.5"
                                       << "25"
                                       << "TVA 0,12";
        QTest::newRow("half cent up") << VatKey::TVA << "1.5"
                                      << "25"
                                      << "TVA 0,38";

        QTest::newRow("negative TTC") << VatKey::TTC << "-100"
                                      << "19,6"
                                      << "-119,6 TTC";
        QTest::newRow("negative HT") << VatKey::HT << "-100"
                                     << "19,6"
                                     << "-83,61 HT";
        QTest::newRow("negative TVA") << VatKey::TVA << "-100"
                                      << "19,6"
                                      << "TVA -19,6";
        QTest::newRow("negative dont TVA") << VatKey::DontTVA << "-100"
                                           << "19,6"
                                           << "Dont TVA -16,39";

        // A previous result reads back in full, its decimal comma included.
        QTest::newRow("on a TTC result") << VatKey::HT << "119,6 TTC"
                                         << "19,6"
                                         << "100 HT";
        QTest::newRow("on a keyed fraction") << VatKey::TTC << " .5"
                                             << "20"
                                             << "0,6 TTC";
        QTest::newRow("not a number") << VatKey::TTC << "abc"
                                      << "19,6"
                                      << "0 TTC";
        QTest::newRow("prefixed result reads 0") << VatKey::DontTVA << "TVA 19,6"
                                                 << "19,6"
                                                 << "Dont TVA 0";
        QTest::newRow("rate -100 TTC") << VatKey::TTC << "100"
                                       << "-100"
                                       << "0 TTC";
    }
    void results()
    {
        QFETCH(VatKey, key);
        QFETCH(QString, display);
        QFETCH(QString, rate);
        QFETCH(QString, shown);

        calc::CalculatorEngine engine = prepared(display);
        QVERIFY(applyVatKey(engine, key, rate));
        QCOMPARE(engine.display(), shown);

        // The pending calculation is over, whichever key acted.
        QCOMPARE(engine.state().N1, std::optional<double>(0.0));
        QCOMPARE(engine.state().N2, std::optional<double>(0.0));
        QCOMPARE(engine.state().N3, std::optional<double>(0.0));
        QCOMPARE(engine.state().TF, std::uint8_t(1));
        QCOMPARE(engine.state().Compteur, std::int16_t(0));
        QCOMPARE(engine.state().ClicTva, std::int16_t(0));
        QVERIFY(engine.state().virg);
    }

    void nothingChanges_data()
    {
        QTest::addColumn<VatKey>("key");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("clicTva");
        QTest::addColumn<QString>("rate");

        QTest::newRow("empty display") << VatKey::TTC << "" << -1 << "19,6";
        QTest::newRow("no key since last VAT key") << VatKey::HT << "100" << 0 << "19,6";
        QTest::newRow("no active rate") << VatKey::TTC << "100" << -1 << "";
        QTest::newRow("rate is text") << VatKey::TVA << "100" << -1 << "abc";
        QTest::newRow("rate with two marks") << VatKey::DontTVA << "100" << -1 << "19,6,1";
        QTest::newRow("rate -100 HT") << VatKey::HT << "100" << -1 << "-100";
        QTest::newRow("rate -100 dont TVA") << VatKey::DontTVA << "100" << -1 << "-100";
        QTest::newRow("rate -100 on zero") << VatKey::HT << "0" << -1 << "-100";
        QTest::newRow("overflow") << VatKey::TTC << "1.7E308" << -1 << "19,6";
        QTest::newRow("display already infinite") << VatKey::TVA << "1E999" << -1 << "19,6";
    }
    void nothingChanges()
    {
        QFETCH(VatKey, key);
        QFETCH(QString, display);
        QFETCH(int, clicTva);
        QFETCH(QString, rate);

        calc::CalculatorEngine engine = prepared(display, std::int16_t(clicTva));
        const calc::CalculatorState before = engine.state();
        QVERIFY(!applyVatKey(engine, key, rate));
        QCOMPARE(engine.display(), display);
        QVERIFY(engine.state() == before);
    }

    void secondPressDoesNothing()
    {
        calc::CalculatorEngine engine = prepared(QStringLiteral("100"));
        QVERIFY(applyVatKey(engine, VatKey::TTC, QStringLiteral("19,6")));
        QVERIFY(!applyVatKey(engine, VatKey::TTC, QStringLiteral("19,6")));
        QCOMPARE(engine.display(), QStringLiteral("119,6 TTC"));
    }

    void decimalKeyWorksAfterEveryKey_data()
    {
        QTest::addColumn<VatKey>("key");
        QTest::newRow("TTC") << VatKey::TTC;
        QTest::newRow("HT") << VatKey::HT;
        QTest::newRow("TVA") << VatKey::TVA;
        QTest::newRow("dont TVA") << VatKey::DontTVA;
    }
    void decimalKeyWorksAfterEveryKey()
    {
        QFETCH(VatKey, key);
        calc::CalculatorEngine engine(comma);
        engine.digit(1);
        engine.digit(0);
        engine.digit(0);
        QVERIFY(applyVatKey(engine, key, QStringLiteral("19,6")));
        engine.digit(5);
        engine.decimalPoint();
        engine.digit(5);
        QCOMPARE(calc::readDisplayNumber(engine.display(), comma), 5.5);
    }

    void activeRateValue_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<double>("value");
        QTest::newRow("regional") << "19,6" << true << 19.6;
        QTest::newRow("point") << "19.6" << true << 19.6;
        QTest::newRow("whole") << "20" << true << 20.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("trailing letters") << "19,6 %" << false << 0.0;
        QTest::newRow("blanks around") << "  19,6 " << true << 19.6;
        QTest::newRow("leading mark") << ",5" << true << 0.5;
        QTest::newRow("plus sign") << "+20" << true << 20.0;
        QTest::newRow("minus sign") << "-5,5" << true << -5.5;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("mark alone") << "," << false << 0.0;
        QTest::newRow("two signs") << "+-5" << false << 0.0;
        QTest::newRow("blank inside") << "19, 6" << false << 0.0;
        QTest::newRow("mark then point") << "19,6.1" << false << 0.0;
        QTest::newRow("two points") << "19.6.1" << false << 0.0;
        // Other scripts' digits would read as 0 through the display reader, so they are no rate.
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf16(u"\u0662\u0660") << false << 0.0;
        QTest::newRow("full-width digits") << QString::fromUtf16(u"\uFF12\uFF10") << false << 0.0;
        QTest::newRow("largest whole number") << "1" + QString(308, u'0') << true << 1e308;
        QTest::newRow("beyond a double") << "1" + QString(309, u'0') << false << 0.0;
    }
    void activeRateValue()
    {
        QFETCH(QString, rate);
        QFETCH(bool, usable);
        QFETCH(double, value);
        const std::optional<double> read = vat::activeRateValue(rate, comma);
        QCOMPARE(read.has_value(), usable);
        if (usable)
            QCOMPARE(*read, value);
    }

    void rateSwitch_data()
    {
        QTest::addColumn<Rate>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("firstShown");
        QTest::newRow("first as read") << Rate::fromNumber(19.6) << "5,50"
                                       << "19,6";
        QTest::newRow("first converted") << Rate::fromText("19,6") << "5,5"
                                         << "19,6";
        QTest::newRow("first as text") << Rate::fromText("abc") << "7"
                                       << "abc";
    }
    void rateSwitch()
    {
        QFETCH(Rate, first);
        QFETCH(QString, second);
        QFETCH(QString, firstShown);
        SharedRates rates{first, second};

        ActiveRate active{firstShown, 1};
        for (int press = 0; press < 4; ++press) {
            active = switchRate(active, rates, comma);
            const bool secondActive = press % 2 == 0;
            QCOMPARE(active.NumTaux, secondActive ? 0 : 1);
            QCOMPARE(active.TauxTVA, secondActive ? second : firstShown);
            QCOMPARE(rateCaption(active.TauxTVA), QStringLiteral("      Taux de TVA : ") +
                                                      active.TauxTVA + QStringLiteral(" %"));
        }

        rates.TauxTVA1 = Rate::fromNumber(7.0);
        const ActiveRate made = firstRateActive(rates, comma);
        QCOMPARE(made.TauxTVA, QStringLiteral("7"));
        QCOMPARE(made.NumTaux, 1);
    }

    void captions()
    {
        QCOMPARE(rateCaption(QStringLiteral("19,6")), QStringLiteral("      Taux de TVA : 19,6 %"));
        QCOMPARE(storedRateCaption(QStringLiteral("19.6")),
                 QStringLiteral("       Taux de TVA : 19.6%"));
    }
};

QTEST_GUILESS_MAIN(TestVatKeys)
#include "test_vatkeys.moc"
