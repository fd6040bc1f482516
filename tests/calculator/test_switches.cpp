// The decimals and rounding switches: the rounding itself, the texts with fixed decimals, what
// the keys, the VAT keys and the tape make of them, and the settings file that keeps them.

#include "calculator/engine.h"
#include "calculator/numbertext.h"
#include "calculator/switches.h"
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

Switches with(Decimals d, Rounding r = Rounding::Nearest)
{
    return Switches{d, r, PriceEnding::None};
}

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
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
        const auto N = Rounding::Nearest, U = Rounding::Up, D = Rounding::Down;
        QTest::newRow("2/3 nearest") << 2.0 / 3 << 2 << N << 0.67;
        QTest::newRow("2/3 up") << 2.0 / 3 << 2 << U << 0.67;
        QTest::newRow("2/3 down") << 2.0 / 3 << 2 << D << 0.66;
        QTest::newRow("-2/3 up away from zero") << -2.0 / 3 << 2 << U << -0.67;
        QTest::newRow("-2/3 down toward zero") << -2.0 / 3 << 2 << D << -0.66;
        QTest::newRow("half to even below") << 0.125 << 2 << N << 0.12;
        QTest::newRow("half to even above") << 0.375 << 2 << N << 0.38;
        QTest::newRow("half up") << 0.125 << 2 << U << 0.13;
        QTest::newRow("half down") << 0.125 << 2 << D << 0.12;
        QTest::newRow("negative half") << -0.125 << 2 << N << -0.12;
        QTest::newRow("negative half up") << -0.125 << 2 << U << -0.13;
        QTest::newRow("decimal half, binary below") << 2.675 << 2 << N << 2.68;
        QTest::newRow("decimal half, binary above") << 2.665 << 2 << N << 2.66;
        QTest::newRow("noise never rounds up") << 0.1 + 0.2 << 2 << U << 0.3;
        QTest::newRow("noise never rounds down") << 0.7 + 0.1 << 1 << D << 0.8;
        QTest::newRow("0 decimals half to even") << 105.5 << 0 << N << 106.0;
        QTest::newRow("0 decimals even stays") << 104.5 << 0 << N << 104.0;
        QTest::newRow("0 decimals up") << 104.01 << 0 << U << 105.0;
        QTest::newRow("1 decimal") << 1.25 << 1 << N << 1.2;
        QTest::newRow("3 decimals down") << 1.23456 << 3 << D << 1.234;
        QTest::newRow("4 decimals") << 1.23456 << 4 << N << 1.2346;
        QTest::newRow("4 decimals up") << 1.00001 << 4 << U << 1.0001;
        QTest::newRow("tiny up is one unit") << 0.0001 << 2 << U << 0.01;
        QTest::newRow("tiny nearest is 0") << 0.0001 << 2 << N << 0.0;
        QTest::newRow("tiny negative down is 0") << -0.004 << 2 << D << 0.0;
        QTest::newRow("carry to the next power") << 99999999999999.9 << 0 << U << 1e14;
        QTest::newRow("15 digits, nothing below")
            << 123456789012345.0 << 2 << U << 123456789012345.0;
        QTest::newRow("15 digits with cents") << 1234567890123.45 << 2 << D << 1234567890123.45;
        QTest::newRow("huge") << 1e300 << 4 << U << 1e300;
        QTest::newRow("zero") << 0.0 << 2 << U << 0.0;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, n);
        QFETCH(Rounding, rounding);
        QFETCH(double, expected);
        QCOMPARE(roundToDecimals(value, n, rounding), expected);
    }

    void fixedTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("regional");
        QTest::newRow("cents") << 3.33 << 2 << " 3.33"
                               << "3,33";
        QTest::newRow("below 1 keeps its 0") << 0.66 << 2 << " 0.66"
                                             << "0,66";
        QTest::newRow("negative") << -0.66 << 2 << "-0.66"
                                  << "-0,66";
        QTest::newRow("trailing zeros") << 120.0 << 2 << " 120.00"
                                        << "120,00";
        QTest::newRow("no decimals") << 106.0 << 0 << " 106"
                                     << "106";
        QTest::newRow("four") << 0.6667 << 4 << " 0.6667"
                              << "0,6667";
        QTest::newRow("zero") << 0.0 << 3 << " 0.000"
                              << "0,000";
        QTest::newRow("15 digits") << 1234567890123.45 << 2 << " 1234567890123.45"
                                   << "1234567890123,45";
        QTest::newRow("too long for the decimals") << 1e15 << 2 << " 1E+15"
                                                   << "1E+15";
    }
    void fixedTexts()
    {
        QFETCH(double, value);
        QFETCH(int, n);
        QFETCH(QString, plain);
        QFETCH(QString, regional);
        QCOMPARE(plainFixedText(value, n), plain);
        QCOMPARE(regionalFixedText(value, n, comma), regional);
        // What the display shows reads back as the value carried on.
        QCOMPARE(readDisplayNumber(plain, comma), value);
    }

    void padding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("padded");
        QTest::newRow("integer") << "120" << 2 << "120,00";
        QTest::newRow("one decimal") << "3,3" << 2 << "3,30";
        QTest::newRow("more decimals kept") << "3,333" << 2 << "3,333";
        QTest::newRow("exponent") << "1E+15" << 2 << "1E+15";
        QTest::newRow("nothing") << "" << 2 << "";
        QTest::newRow("no decimals") << "106" << 0 << "106";
    }
    void padding()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, padded);
        QCOMPARE(padDecimals(text, n, comma), padded);
    }

    void annunciatorAndDescription_data()
    {
        QTest::addColumn<Decimals>("decimals");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("said");
        QTest::newRow("defaults") << Decimals::Floating << Rounding::Nearest << ""
                                  << "";
        QTest::newRow("2 down") << Decimals::Two << Rounding::Down << "2↓"
                                << "2 décimales, arrondi par défaut";
        QTest::newRow("0") << Decimals::Zero << Rounding::Nearest << "0"
                           << "0 décimale";
        QTest::newRow("Add2 up") << Decimals::Add2 << Rounding::Up << "A2↑"
                                 << "mode Add2, 2 décimales, arrondi par excès";
        QTest::newRow("F up") << Decimals::Floating << Rounding::Up << "↑"
                              << "arrondi par excès";
    }
    void annunciatorAndDescription()
    {
        QFETCH(Decimals, decimals);
        QFETCH(Rounding, rounding);
        QFETCH(QString, shown);
        QFETCH(QString, said);
        const Annunciator a = annunciator(with(decimals, rounding));
        QCOMPARE(a.decimals + a.rounding, shown);
        QCOMPARE(a.isEmpty(), shown.isEmpty());
        QCOMPARE(switchesDescription(with(decimals, rounding)), said);
    }

    // Key sequences in the small key language of keys.h; the display after each key.
    void keys_data()
    {
        QTest::addColumn<Decimals>("decimals");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("shown");
        const auto N = Rounding::Nearest;
        QTest::newRow("2: the shown result is carried on")
            << Decimals::Two << N << QStringList{"10", "/", "3", "=", "x", "3", "="}
            << QStringList{" 10", " 10", " 3", " 3.33", " 3.33", " 3", " 9.99"};
        QTest::newRow("2 down") << Decimals::Two << Rounding::Down
                                << QStringList{"2", "/", "3", "="}
                                << QStringList{" 2", " 2", " 3", " 0.66"};
        QTest::newRow("2 up") << Decimals::Two << Rounding::Up << QStringList{"2", "/", "3", "="}
                              << QStringList{" 2", " 2", " 3", " 0.67"};
        QTest::newRow("2: chained step rounded")
            << Decimals::Two << N << QStringList{"10", "/", "3", "/", "3", "="}
            << QStringList{" 10", " 10", " 3", " 3.33", " 3", " 1.11"};
        QTest::newRow("2: keyed operand taken as keyed")
            << Decimals::Two << N << QStringList{"1", ",", "005", "x", "2", "="}
            << QStringList{" 1", " 1.", " 1.005", " 1.005", " 2", " 2.01"};
        QTest::newRow("2: percentage")
            << Decimals::Two << N << QStringList{"33", "+", "50", "%", "="}
            << QStringList{" 33", " 33", " 50", "33 + 50 %", "49,50"};
        QTest::newRow("2: percentage of 0")
            << Decimals::Two << N << QStringList{"0", "+", "5", "%", "="}
            << QStringList{" 0", " 0", " 5", "0 + 5 %", "0,00"};
        QTest::newRow("2: division by 0") << Decimals::Two << N << QStringList{"8", "/", "0", "="}
                                          << QStringList{" 8", " 8", " 0", " 0.00"};
        QTest::newRow("0: half to even") << Decimals::Zero << N << QStringList{"7", "/", "2", "="}
                                         << QStringList{" 7", " 7", " 2", " 4"};
        QTest::newRow("4") << Decimals::Four << N << QStringList{"2", "/", "3", "="}
                           << QStringList{" 2", " 2", " 3", " 0.6667"};
        QTest::newRow("F: the rounding switch leaves the operations alone")
            << Decimals::Floating << Rounding::Up << QStringList{"2", "/", "3", "="}
            << QStringList{" 2", " 2", " 3", " .666666666666667"};
        QTest::newRow("Add2: a sum of cents")
            << Decimals::Add2 << N << QStringList{"1234", "+", "566", "="}
            << QStringList{" 1234", " 12.34", " 566", " 18.00"};
        QTest::newRow("Add2: subtraction")
            << Decimals::Add2 << N << QStringList{"1234", "-", "566", "="}
            << QStringList{" 1234", " 12.34", " 566", " 6.68"};
        QTest::newRow("Add2: multiplication as keyed")
            << Decimals::Add2 << N << QStringList{"1234", "x", "2", "="}
            << QStringList{" 1234", " 1234", " 2", " 2468.00"};
        QTest::newRow("Add2: division as keyed")
            << Decimals::Add2 << N << QStringList{"1234", "/", "2", "="}
            << QStringList{" 1234", " 1234", " 2", " 617.00"};
        QTest::newRow("Add2: keyed decimal mark")
            << Decimals::Add2 << N << QStringList{"12", ",", "5", "+", "1", "="}
            << QStringList{" 12", " 12.", " 12.5", " 12.5", " 1", " 12.51"};
        QTest::newRow("Add2: a sum chained into a product")
            << Decimals::Add2 << N << QStringList{"1234", "+", "566", "x", "2", "="}
            << QStringList{" 1234", " 12.34", " 566", " 18.00", " 2", " 36.00"};
        QTest::newRow("Add2: a result is not keyed")
            << Decimals::Add2 << N << QStringList{"5", "+", "3", "=", "="}
            << QStringList{" 5", " 0.05", " 3", " 0.08", " 0.13"};
        QTest::newRow("Add2: typed keys")
            << Decimals::Add2 << N << QStringList{"k1234+566="} << QStringList{" 18.00"};
    }
    void keys()
    {
        QFETCH(Decimals, decimals);
        QFETCH(Rounding, rounding);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, shown);
        CalculatorEngine engine(comma);
        engine.startUp();
        engine.setSwitches(with(decimals, rounding));
        QStringList seen;
        for (const QString &key : keys) {
            testkeys::press(engine, key);
            seen << engine.display();
        }
        QCOMPARE(seen, shown);
    }

    void add2Paste()
    {
        // A paste is a price as it reads, not keyed cents.
        CalculatorEngine engine(comma);
        engine.startUp();
        engine.setSwitches(with(Decimals::Add2));
        QVERIFY(engine.pasteOperand(*readPastedPrice(u"1234", comma)));
        testkeys::press(engine, {"+", "566", "="});
        QCOMPARE(engine.display(), QStringLiteral(" 1239.66"));
    }

    void vatKeys_data()
    {
        QTest::addColumn<Decimals>("decimals");
        QTest::addColumn<Rounding>("rounding");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("shown");
        const auto N = Rounding::Nearest;
        const int ttc = int(vat::VatKey::TTC), ht = int(vat::VatKey::HT);
        QTest::newRow("0 decimals") << Decimals::Zero << N << "100" << ttc << "5,5"
                                    << "106 TTC";
        QTest::newRow("2 decimals") << Decimals::Two << N << "100" << ttc << "19,6"
                                    << "119,60 TTC";
        QTest::newRow("F down") << Decimals::Floating << Rounding::Down << "100" << ht << "19,6"
                                << "83,61 HT";
        QTest::newRow("F up") << Decimals::Floating << Rounding::Up << "100" << ht << "19,6"
                              << "83,62 HT";
        QTest::newRow("3 decimals")
            << Decimals::Three << N << "10" << int(vat::VatKey::DontTVA) << "5,5"
            << "Dont TVA 0,521";
        QTest::newRow("Add2 keyed amount as keyed") << Decimals::Add2 << N << "1234" << ttc << "20"
                                                    << "1480,80 TTC";
    }
    void vatKeys()
    {
        QFETCH(Decimals, decimals);
        QFETCH(Rounding, rounding);
        QFETCH(QString, amount);
        QFETCH(int, key);
        QFETCH(QString, rate);
        QFETCH(QString, shown);
        CalculatorEngine engine(comma);
        engine.startUp();
        engine.setSwitches(with(decimals, rounding));
        testkeys::press(engine, amount);
        QVERIFY(vat::applyVatKey(engine, vat::VatKey(key), rate));
        QCOMPARE(engine.display(), shown);
    }

    // The tape writes amounts as the display showed them, the keyed cents as taken.
    void tape()
    {
        CalculatorEngine engine(comma);
        engine.startUp();
        QStringList lines;
        engine.setKeyListener([&](const KeyStroke &key, const CalculatorState &before,
                                  const QString &displayBefore, const CalculatorEngine &after) {
            for (const tape::Line &line : tape::keyLines(key, before, displayBefore, after))
                lines << line.amount + QLatin1Char(' ') + line.mark;
        });
        engine.setSwitches(with(Decimals::Add2));
        testkeys::press(engine, {"1234", "+", "566", "="});
        QCOMPARE(lines, (QStringList{"12,34 +", "5,66 =", "18,00 *"}));

        lines.clear();
        engine.setSwitches(with(Decimals::Two));
        testkeys::press(engine, QStringLiteral("100"));
        vat::VatStep step;
        QVERIFY(vat::applyVatKey(engine, vat::VatKey::TTC, QStringLiteral("19,6"), &step));
        for (const tape::Line &line : tape::vatLines(
                 {tape::VatKind::TTC, step.display, step.amount, "19,6", step.resultText}, comma,
                 2))
            lines << line.amount + QLatin1Char(' ') + line.mark;
        QCOMPARE(lines, (QStringList{"100 HT", "19,60 ", "119,60 TTC"}));
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Switches>("expected");
        QTest::newRow("missing") << QByteArray() << Switches{};
        QTest::newRow("all set")
            << QByteArray("[Commutateurs]\nDecimales=Add2\nArrondi=defaut\nPrixDeVente=euro\n")
            << Switches{Decimals::Add2, Rounding::Down, PriceEnding::WholeEuro};
        QTest::newRow("binary garbage") << QByteArray("\0\xff\xfe[[[=\n\x01", 9) << Switches{};
        QTest::newRow("garbage values")
            << QByteArray("[Commutateurs]\nDecimales=@Variant(\\0\\0\\0\\x7f)\nArrondi=\n")
            << Switches{};
        QTest::newRow("a later version's value")
            << QByteArray("[Commutateurs]\nDecimales=6\nArrondi=exces\n")
            << Switches{Decimals::Floating, Rounding::Up, PriceEnding::None};
    }
    void settings()
    {
        QFETCH(QByteArray, file);
        QFETCH(Switches, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tarvex.conf"));
        if (!file.isNull())
            writeFile(path, file);
        const SwitchSettings settings(path);
        QVERIFY(settings.load() == expected);

        // Changing one switch writes that one only: the others keep what the file held, even a
        // value this version does not know.
        settings.saveRounding(Rounding::Down);
        Switches after = expected;
        after.rounding = Rounding::Down;
        QVERIFY(SwitchSettings(path).load() == after);
        if (file.contains("Decimales=6"))
            QVERIFY(fileText(path).contains("Decimales=6"));
    }

    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        const SwitchSettings settings(dir.filePath(QStringLiteral("Tarvex.conf")));
        for (int d = 0; d <= int(Decimals::Add2); ++d) {
            settings.saveDecimals(Decimals(d));
            QCOMPARE(int(settings.load().decimals), d);
        }
        for (int e = 0; e <= int(PriceEnding::WholeEuro); ++e) {
            settings.savePriceEnding(PriceEnding(e));
            QCOMPARE(int(settings.load().priceEnding), e);
        }
    }
};

QTEST_GUILESS_MAIN(TestSwitches)
#include "test_switches.moc"
