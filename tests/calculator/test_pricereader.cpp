// Numbers through the clipboard: how a pasted price is read, what a display copies, and a paste
// taken by the engine as an operand.

#include "calculator/pricereader.h"

#include "keys.h"

#include <QTest>

using namespace calc;

class TestPriceReader : public QObject
{
    Q_OBJECT

private slots:
    void reader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<bool>("signs");
        QTest::addColumn<QString>("keyed"); // empty: refused
        QTest::addColumn<double>("value");

        auto row = [](const char *name, const QString &text, const char *mark, const char *keyed,
                      double value, bool signs = true) {
            QTest::newRow(name) << text << QString::fromLatin1(mark) << signs
                                << QString::fromLatin1(keyed) << value;
        };
        auto refused = [&](const char *name, const QString &text, const char *mark = ",",
                           bool signs = true) { row(name, text, mark, "", 0.0, signs); };

        row("french money", QStringLiteral("1 234,56 €"), ",", " 1234.56", 1234.56);
        row("narrow no-break thousands", QStringLiteral("1\u202F234,56\u00A0€"), ",", " 1234.56",
            1234.56);
        row("dots then comma", QStringLiteral("1.234,56"), ",", " 1234.56", 1234.56);
        row("commas then dot", QStringLiteral("1,234.56"), ",", " 1234.56", 1234.56);
        row("sign before", QStringLiteral("€ 12.50"), ",", " 12.50", 12.5);
        row("code before", QStringLiteral("EUR 12,50"), ",", " 12.50", 12.5);
        row("dollars", QStringLiteral("$1,234.56"), ".", " 1234.56", 1234.56);
        row("apostrophe thousands", QStringLiteral("1'234.50 CHF"), ",", " 1234.50", 1234.5);
        row("repeated dots", QStringLiteral("1.234.567"), ",", " 1234567", 1234567.0);
        row("blank thousands then mark", QStringLiteral("1 234 567.5"), ",", " 1234567.5",
            1234567.5);
        row("spreadsheet cell", QStringLiteral("  42\n"), ",", " 42", 42.0);
        row("leading mark", QStringLiteral(",5"), ",", " 0.5", 0.5);
        row("negative", QStringLiteral("-7"), ",", "-7", -7.0);
        row("negative after currency", QStringLiteral("€ -12,50"), ",", "-12.50", -12.5);
        row("plus", QStringLiteral("+3"), ",", " 3", 3.0);
        // One mark before three digits: the regional convention decides.
        row("dot, french", QStringLiteral("1.234"), ",", " 1234", 1234.0);
        row("dot, english", QStringLiteral("1.234"), ".", " 1.234", 1.234);
        row("comma, french", QStringLiteral("1,234"), ",", " 1.234", 1.234);
        row("comma, english", QStringLiteral("1,234"), ".", " 1234", 1234.0);
        row("no thousands group starts with 0", QStringLiteral("0,125"), ".", " 0.125", 0.125);
        row("four digits before the mark", QStringLiteral("1234,567"), ".", " 1234.567", 1234.567);
        row("field, no sign", QStringLiteral("1.234,56"), ",", " 1234.56", 1234.56, false);

        refused("percentage", QStringLiteral("12,5 %"));
        refused("exponent", QStringLiteral("1e3"));
        refused("not groups of three", QStringLiteral("12 34"));
        refused("empty", QString());
        refused("words", QStringLiteral("abc"));
        refused("currency alone", QStringLiteral("€"));
        refused("two numbers", QStringLiteral("12,50 € 13"));
        refused("mark at the end", QStringLiteral("12,"));
        refused("two decimal marks", QStringLiteral("1.234.56"));
        refused("thousands after the mark", QStringLiteral("1,234.567.8"));
        refused("short group before the mark", QStringLiteral("1,2.3"));
        refused("double sign", QStringLiteral("--5"));
        refused("too large for a double", QLatin1String("1") + QString(400, QLatin1Char('0')));
        refused("too small for a double",
                QLatin1String("0,") + QString(400, QLatin1Char('0')) + QLatin1String("1"));
        refused("field, minus", QStringLiteral("-7"), ",", false);
        refused("field, plus", QStringLiteral("+7"), ",", false);
    }

    void reader()
    {
        QFETCH(QString, text);
        QFETCH(QString, mark);
        QFETCH(bool, signs);
        QFETCH(QString, keyed);
        QFETCH(double, value);
        const auto price =
            readPastedPrice(text, mark.front(), signs ? PriceSign::Allowed : PriceSign::Refused);
        QCOMPARE(price.has_value(), !keyed.isEmpty());
        if (price) {
            QCOMPARE(price->keyedText(), keyed);
            QCOMPARE(price->value, value);
        }
    }

    void copiedText_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("copied");

        auto row = [](const char *display, const char *mark, const char *copied) {
            QTest::newRow(display) << QString::fromLatin1(display) << QString::fromLatin1(mark)
                                   << QString::fromLatin1(copied);
        };
        row("", ",", "");
        row(" 7", ",", "7");
        row(" 007", ",", "7");
        row(" 12.50", ",", "12,5");
        row(" 2.5", ".", "2.5");
        row("-.5", ",", "-0,5");
        row(" 1234567.89", ",", "1234567,89");
        row("119,6 TTC", ",", "119,6");
        row("50 + 10 %", ",", "50");
        row(" 1E+15", ",", "1E+15");
        row(" 1E-05", ",", "0,00001");
        row("-1.5E-10", ",", "-0,00000000015");
        row(" 1.23456789012345E-05", ",", "1,23456789012345E-05");
        row(" 1.79769313486232E+308", ",", "1,79769313486232E+308");
    }

    void copiedText()
    {
        QFETCH(QString, display);
        QFETCH(QString, mark);
        QFETCH(QString, copied);
        QCOMPARE(copiedNumberText(display, mark.front()), copied);
    }

    // A pasted number leaves the calculator exactly as keying it would have.
    void pasteIsAKeyedOperand_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QStringList>("keyed");

        QTest::newRow("at start") << QStringList() << "12,50" << QStringList{"12", ",", "50"};
        QTest::newRow("after an operator")
            << QStringList{"100", "+"} << "20" << QStringList{"100", "+", "20"};
        QTest::newRow("replaces a number being keyed")
            << QStringList{"4", ",", "2"} << "1.5" << QStringList{"1", ",", "5"};
        QTest::newRow("after equals")
            << QStringList{"5", "+", "3", "="} << "2" << QStringList{"5", "+", "3", "=", "2"};
    }

    void pasteIsAKeyedOperand()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, pasted);
        QFETCH(QStringList, keyed);
        CalculatorEngine viaPaste;
        testkeys::press(viaPaste, before);
        QVERIFY(viaPaste.pasteOperand(*readPastedPrice(pasted, QLatin1Char(','))));
        CalculatorEngine viaKeys;
        testkeys::press(viaKeys, keyed);
        QCOMPARE(viaPaste.display(), viaKeys.display());
        QVERIFY(viaPaste.state() == viaKeys.state());
        // Digits keyed afterwards extend the pasted number.
        viaPaste.digit(1);
        viaKeys.digit(1);
        QCOMPARE(viaPaste.display(), viaKeys.display());
    }

    void pasteShowsTheKeyedForm()
    {
        CalculatorEngine e;
        QVERIFY(e.pasteOperand(*readPastedPrice(QStringLiteral("-7"), QLatin1Char(','))));
        QCOMPARE(e.display(), QStringLiteral("-7"));
        e.operatorKey(Addition);
        QVERIFY(e.pasteOperand(*readPastedPrice(QStringLiteral("10"), QLatin1Char(','))));
        e.equals();
        QCOMPARE(e.display(), QStringLiteral(" 3"));
    }

    // A number the display could not read back (built by hand: the reader refuses it) is
    // refused by the engine's own guard, which leaves everything as it was.
    void pasteBeyondADoubleChangesNothing()
    {
        CalculatorEngine e;
        testkeys::press(e, {"5", "+", "3"});
        const CalculatorState before = e.state();
        PastedPrice huge;
        huge.digits = QLatin1String("1") + QString(400, QLatin1Char('0'));
        QVERIFY(!e.pasteOperand(huge));
        QCOMPARE(e.display(), QStringLiteral(" 3"));
        QVERIFY(e.state() == before);
    }
};

QTEST_GUILESS_MAIN(TestPriceReader)
#include "test_pricereader.moc"
