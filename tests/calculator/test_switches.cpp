// The decimals and rounding switches: the rounding itself, the texts with fixed decimals, what
// the keys, the VAT keys and the tape make of them, and the settings file that keeps them.

#include "calculator/engine.h"
#include "calculator/switchsettings.h"
#include "keys.h"
#include "tape/recorder.h"
#include "vat/vatkeys.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace calc;

Q_DECLARE_METATYPE(calc::Rounding)
Q_DECLARE_METATYPE(calc::Decimals)
Q_DECLARE_METATYPE(calc::Switches)

namespace {

const QChar comma = QLatin1Char(',');
constexpr auto N = Rounding::Nearest, U = Rounding::Up, D = Rounding::Down,
               E = Rounding::NearestEven;

CalculatorEngine engineWith(Decimals decimals, Rounding rounding)
{
    CalculatorEngine engine(comma);
    engine.startUp();
    engine.setSwitches({decimals, rounding, PriceEnding::None});
    return engine;
}

// The display after each key: keys.h's, or a VAT key at a rate ("TTC@19,6").
QStringList shownAfter(CalculatorEngine &engine, const QStringList &keys)
{
    QStringList seen;
    for (const QString &key : keys) {
        const QStringList vatKey = key.split(QLatin1Char('@'));
        if (vatKey.size() == 2) {
            const auto k = vatKey[0] == u"TTC"   ? vat::VatKey::TTC
                           : vatKey[0] == u"HT"  ? vat::VatKey::HT
                           : vatKey[0] == u"TVA" ? vat::VatKey::TVA
                                                 : vat::VatKey::DontTVA;
            if (!vat::applyVatKey(engine, k, vatKey[1]))
                seen << QStringLiteral("(VAT key refused)");
        } else {
            testkeys::press(engine, key);
        }
        seen << engine.display();
    }
    return seen;
}

} // namespace

class TestSwitches : public QObject
{
    Q_OBJECT

private slots:
    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("n");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<double>("expected");
        QTest::newRow("2/3 nearest") << 2.0 / 3 << 2 << N << 0.67;
        QTest::newRow("2/3 down") << 2.0 / 3 << 2 << D << 0.66;
        QTest::newRow("-2/3 up, away from 0") << -2.0 / 3 << 2 << U << -0.67;
        QTest::newRow("-2/3 down, toward 0") << -2.0 / 3 << 2 << D << -0.66;
        QTest::newRow("5/4: half away from zero") << 0.125 << 2 << N << 0.13;
        QTest::newRow("half to even") << 0.125 << 2 << E << 0.12;
        QTest::newRow("half up") << 0.125 << 2 << U << 0.13;
        QTest::newRow("decimal half over binary") << 2.675 << 2 << N << 2.68;
        QTest::newRow("noise never rounds up") << 0.1 + 0.2 << 2 << U << 0.3;
        QTest::newRow("0 places, half to even") << 105.5 << 0 << N << 106.0;
        QTest::newRow("0 places up") << 104.01 << 0 << U << 105.0;
        QTest::newRow("3 places down") << 1.23456 << 3 << D << 1.234;
        QTest::newRow("4 places up") << 1.00001 << 4 << U << 1.0001;
        QTest::newRow("tiny up is one unit") << 0.0001 << 2 << U << 0.01;
        QTest::newRow("carry to a new digit") << 99999999999999.9 << 0 << U << 1e14;
        QTest::newRow("15 digits, none below") << 123456789012345.0 << 2 << U << 123456789012345.0;
        QTest::newRow("huge") << 1e300 << 4 << U << 1e300;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, n);
        QFETCH(Rounding, rounding);
        QFETCH(double, expected);
        QCOMPARE(roundToDecimals(value, n, rounding), expected);
    }

    // The display after each key, in the key language of keys.h.
    void keys_data()
    {
        QTest::addColumn<Decimals>("decimals");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("shown");
        const auto row = [](const char *name, Decimals d, Rounding r, const QStringList &keys,
                            const QStringList &shown) {
            QTest::newRow(name) << d << r << keys << shown;
        };
        row("2: what is shown is carried on", Decimals::Two, N,
            {"10", "/", "3", "=", "x", "3", "="},
            {" 10", " 10", " 3", " 3.33", " 3.33", " 3", " 9.99"});
        row("2 down", Decimals::Two, D, {"2", "/", "3", "="}, {" 2", " 2", " 3", " 0.66"});
        row("2: chained step", Decimals::Two, N, {"10", "/", "3", "/", "3", "="},
            {" 10", " 10", " 3", " 3.33", " 3", " 1.11"});
        row("2: keyed operand as keyed", Decimals::Two, N, {"1", ",", "005", "x", "2", "="},
            {" 1", " 1.", " 1.005", " 1.005", " 2", " 2.01"});
        row("2: percentage", Decimals::Two, N, {"33", "+", "50", "%", "="},
            {" 33", " 33", " 50", "33 + 50 %", "49,50"});
        row("2: division by 0", Decimals::Two, N, {"8", "/", "0", "="},
            {" 8", " 8", " 0", " 0.00"});
        row("F: rounding leaves the operations alone", Decimals::Floating, U, {"2", "/", "3", "="},
            {" 2", " 2", " 3", " .666666666666667"});
        row("2: 15 digits", Decimals::Two, U, {"1234567890123", ",", "45", "x", "1", "="},
            {" 1234567890123", " 1234567890123.", " 1234567890123.45", " 1234567890123.45", " 1",
             " 1234567890123.45"});
        row("2: too long for the places", Decimals::Two, N, {"1#15", "x", "1", "="},
            {" 1000000000000000", " 1000000000000000", " 1", " 1E+15"});
        // The VAT keys at the rate after "@".
        row("0: VAT", Decimals::Zero, N, {"100", "TTC@5,5"}, {" 100", "106 TTC"});
        row("2: VAT", Decimals::Two, N, {"100", "TTC@19,6"}, {" 100", "119,60 TTC"});
        row("F down: VAT", Decimals::Floating, D, {"100", "HT@19,6"}, {" 100", "83,61 HT"});
        row("F up: VAT", Decimals::Floating, U, {"100", "HT@19,6"}, {" 100", "83,62 HT"});
        row("3: VAT", Decimals::Three, N, {"100", "DontTVA@5,5"}, {" 100", "Dont TVA 5,213"});
        row("Add2: addition", Decimals::Add2, N, {"1234", "+", "566", "="},
            {" 1234", " 12.34", " 566", " 18.00"});
        row("Add2: multiplication", Decimals::Add2, N, {"1234", "x", "2", "="},
            {" 1234", " 1234", " 2", " 2468.00"});
        row("Add2: decimal mark keyed", Decimals::Add2, N, {"12", ",", "5", "+", "1", "="},
            {" 12", " 12.", " 12.5", " 12.5", " 1", " 12.51"});
        row("Add2: sum chained into a product", Decimals::Add2, N,
            {"1234", "+", "566", "x", "2", "="},
            {" 1234", " 12.34", " 566", " 18.00", " 2", " 36.00"});
        row("Add2: a result is not keyed", Decimals::Add2, N, {"5", "+", "3", "=", "="},
            {" 5", " 0.05", " 3", " 0.08", " 0.13"});
    }
    void keys()
    {
        QFETCH(Decimals, decimals);
        QFETCH(Rounding, rounding);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, shown);
        CalculatorEngine engine = engineWith(decimals, rounding);
        QCOMPARE(shownAfter(engine, keys), shown);
    }

    // A value exactly halfway, on its 15-digit form: "5/4" goes away from zero with fixed
    // decimals, the VAT keys and the percentage too; at "F" they keep the cent rounding.
    void halfway_data()
    {
        QTest::addColumn<Decimals>("decimals");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, Decimals d, const QStringList &keys,
                            const char *shown,
                            Rounding r = N) { QTest::newRow(name) << d << r << keys << shown; };
        using enum Decimals;
        row("0", Zero, {"k2,5+0="}, " 3");
        row("0 negative", Zero, {"k0-2,5="}, "-3");
        row("1", One, {"k0,25+0="}, " 0.3");
        row("1 negative", One, {"k0-0,25="}, "-0.3");
        row("2", Two, {"k1/8="}, " 0.13");
        row("2 negative", Two, {"k0-1/8="}, "-0.13");
        row("3", Three, {"k0,0625+0="}, " 0.063");
        row("3 negative", Three, {"k0-0,0625="}, "-0.063");
        row("4", Four, {"k0,03125+0="}, " 0.0313");
        row("4 negative", Four, {"k0-0,03125="}, "-0.0313");
        row("Add2", Add2, {"k1/8="}, " 0.13");
        row("Add2 negative", Add2, {"k0,5-0,625="}, "-0.13");
        row("15 digits: 1,005 is halfway", Two, {"k1,005+0="}, " 1.01");
        row("15 digits: just below", Two, {"k1,00499999999999+0="}, " 1.00");
        row("15 digits: a 16th decides nothing", Two, {"k0,1249999999999999+0="}, " 0.13");
        row("15 digits: the last one", Two, {"k123456789012,345+0="}, " 123456789012.35");
        row("2 VAT", Two, {"k0,625", "TVA@20"}, "TVA 0,13");
        row("1 VAT", One, {"k1,25", "TVA@20"}, "TVA 0,3");
        row("0 VAT", Zero, {"k12,5", "TVA@20"}, "TVA 3");
        row("Add2 VAT", Add2, {"k0,625", "TVA@20"}, "TVA 0,13");
        row("2 percentage", Two, {"k0,5-75%="}, "0,13");
        row("2 percentage negative", Two, {"k0,1-125%="}, "-0,03");
        row("F: VAT to the even cent", Floating, {"k0,625", "TVA@20"}, "TVA 0,12");
        row("F: percentage to the even cent", Floating, {"k0,5-75%="}, "0,12");
        row("2 as 3.1 rounded", Two, {"k1/8="}, " 0.12", E);
        row("2 VAT as 3.1 rounded", Two, {"k0,625", "TVA@20"}, "TVA 0,12", E);
    }
    void halfway()
    {
        QFETCH(Decimals, decimals);
        QFETCH(Rounding, rounding);
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        CalculatorEngine engine = engineWith(decimals, rounding);
        QCOMPARE(shownAfter(engine, keys).last(), shown);
    }

    void add2Paste()
    {
        // A paste is the price it reads, never keyed cents.
        CalculatorEngine engine = engineWith(Decimals::Add2, N);
        QVERIFY(engine.pasteOperand(*readPastedPrice(u"1234", comma)));
        testkeys::press(engine, {"+", "566", "="});
        QCOMPARE(engine.display(), QStringLiteral(" 1239.66"));
    }

    // The tape writes amounts as the display showed them, and keyed cents as they were taken.
    void tape()
    {
        CalculatorEngine engine = engineWith(Decimals::Add2, N);
        QStringList lines;
        engine.setKeyListener([&](const KeyStroke &key, const CalculatorState &before,
                                  const QString &displayBefore, const CalculatorEngine &after) {
            for (const tape::Line &line : tape::keyLines(key, before, displayBefore, after))
                lines << line.amount + line.mark;
        });
        testkeys::press(engine, {"1234", "+", "566", "="});
        QCOMPARE(lines, (QStringList{"12,34+", "5,66=", "18,00*"}));

        lines.clear();
        vat::VatStep step;
        testkeys::press(engine, QStringLiteral("100"));
        QVERIFY(vat::applyVatKey(engine, vat::VatKey::TTC, QStringLiteral("19,6"), &step));
        const tape::VatDone done{tape::VatKind::TTC, step.display, step.amount, "19,6",
                                 step.resultText};
        for (const tape::Line &line : tape::vatLines(done, comma, 2))
            lines << line.amount + line.mark;
        QCOMPARE(lines, (QStringList{"100HT", "19,60", "119,60TTC"}));
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Switches>("expected");
        QTest::newRow("missing") << QByteArray() << Switches{};
        QTest::newRow("all set")
            << QByteArray("[Commutateurs]\nDecimales=Add2\nArrondi=defaut\nPrixDeVente=euro\n")
            << Switches{Decimals::Add2, D, PriceEnding::WholeEuro};
        QTest::newRow("binary garbage") << QByteArray("\0\xff\xfe[[[=\n\x01", 9) << Switches{};
        QTest::newRow("garbage values")
            << QByteArray("[Commutateurs]\nDecimales=@Variant(\\0\\0\\0\\x7f)\nPrixDeVente=\n")
            << Switches{};
        QTest::newRow("a later version's value")
            << QByteArray("[Commutateurs]\nDecimales=6\nPrixDeVente=99\n")
            << Switches{Decimals::Floating, N, PriceEnding::NinetyNine};
    }
    void settings()
    {
        QFETCH(QByteArray, file);
        QFETCH(Switches, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tarvex.conf"));
        QFile written(path);
        if (!file.isNull())
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
        written.close();
        QVERIFY(SwitchSettings(path).load() == expected);

        // Changing one switch writes that one only: the others keep what the file held, even a
        // value this version does not know.
        SwitchSettings(path).saveRounding(U);
        expected.rounding = U;
        QVERIFY(SwitchSettings(path).load() == expected);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().contains("Decimales=6"), file.contains("Decimales=6"));
    }
};

QTEST_GUILESS_MAIN(TestSwitches)
#include "test_switches.moc"
