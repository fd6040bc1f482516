// The calculator engine driven key by key: what the display shows after each key, and what the
// state holds after a sequence.

#include "calculator/engine.h"
#include "calculator/numbertext.h"
#include "keys.h"

#include <QTest>

#include <limits>

using namespace calc;

Q_DECLARE_METATYPE(QList<QStringList>)

namespace {

QString number(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'g', 17) : QStringLiteral("-");
}

// The whole state on one line, so that a table row can state what it expects at a glance.
QString describe(const CalculatorState &s)
{
    return QStringLiteral("N1=%1 N2=%2 N3=%3 P=%4 Signe=%5 TF=%6 virg=%7 ok=%8 ClicTva=%9 "
                          "Compteur=%10")
        .arg(number(s.N1), number(s.N2), number(s.N3), number(s.Pourcent))
        .arg(s.Signe)
        .arg(s.TF)
        .arg(int(s.virg))
        .arg(int(s.ok))
        .arg(s.ClicTva)
        .arg(s.Compteur);
}

void sequence(const char *name, const QStringList &keys, const QStringList &shown)
{
    QTest::newRow(name) << keys << shown;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void displayAfterEachKey_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("shown");

        // Keying numbers.
        sequence("point ignored at start", {",", "0", ",", "5"}, {"", " 0", " 0.", " 0.5"});
        sequence("second point refused", {"1", ",", "2", ","}, {" 1", " 1.", " 1.2", " 1.2"});
        sequence("digit after operator", {"5", "+", "7"}, {" 5", " 5", " 7"});
        sequence("digit after equals", {"5", "+", "3", "=", "7"}, {" 5", " 5", " 3", " 8", " 7"});
        sequence("leading zeros kept and read", {"0", "0", "7", "+", "1", "="},
                 {" 0", " 00", " 007", " 007", " 1", " 8"});
        sequence("clear mid-number then point", {"5", "C", ",", "5", "+", "1", "="},
                 {" 5", "", ".", ".5", ".5", " 1", " 1.5"});
        sequence("clear mid-number then digit", {"5", "C", "3"}, {" 5", "", "3"});
        sequence("clear after operator", {"5", "+", "C", "3"}, {" 5", " 5", "", " 3"});
        sequence("pending addition survives clear", {"8", "+", "C", "3", "="},
                 {" 8", " 8", "", " 3", " 3"});
        sequence("emptying frees the point", {"1", ",", "5", "C", ",", "2"},
                 {" 1", " 1.", " 1.5", "", ".", ".2"});

        // Operators and equals.
        sequence("chain of additions", {"6", "+", "2", "+", "3", "="},
                 {" 6", " 6", " 2", " 8", " 3", " 11"});
        sequence("chain of divisions", {"8", "/", "2", "/", "2", "="},
                 {" 8", " 8", " 2", " 4", " 2", " 2"});
        sequence("repeat addition", {"5", "+", "3", "=", "="}, {" 5", " 5", " 3", " 8", " 13"});
        sequence("repeat multiplication", {"5", "x", "3", "=", "="},
                 {" 5", " 5", " 3", " 15", " 75"});
        sequence("repeat division", {"8", "/", "2", "=", "="}, {" 8", " 8", " 2", " 4", " 2"});
        sequence("repeat subtraction alternates", {"5", "-", "3", "=", "=", "="},
                 {" 5", " 5", " 3", " 2", " 3", " 2"});
        sequence("new number then equals", {"5", "+", "3", "=", "2", "="},
                 {" 5", " 5", " 3", " 8", " 2", " 7"});
        sequence("equals without operand", {"5", "+", "="}, {" 5", " 5", " 5"});
        sequence("equals at start", {"="}, {""});
        sequence("operator replaces pending", {"5", "+", "x", "3", "="},
                 {" 5", " 5", " 5", " 3", " 15"});
        sequence("quarter", {"1", "/", "4", "="}, {" 1", " 1", " 4", " .25"});
        sequence("negative result", {"2", "-", "5", "="}, {" 2", " 2", " 5", "-3"});
        sequence("negative result multiplied", {"2", "-", "5", "=", "x", "2", "="},
                 {" 2", " 2", " 5", "-3", "-3", " 2", "-6"});
        sequence("clear makes equals wait", {"5", "+", "3", "C", "="}, {" 5", " 5", " 3", "", ""});
        sequence("divide by zero", {"8", "/", "0", "="}, {" 8", " 8", " 0", " 0"});
        sequence("chained divide by zero", {"8", "/", "0", "/", "5", "="},
                 {" 8", " 8", " 0", " 0", " 5", " 0"});
        sequence("new chain from result", {"5", "+", "3", "=", "+", "2", "="},
                 {" 5", " 5", " 3", " 8", " 8", " 2", " 10"});
        sequence("third read back from the display", {"1", "/", "3", "=", "x", "3", "="},
                 {" 1", " 1", " 3", " .333333333333333", " .333333333333333", " 3",
                  " .999999999999999"});
        sequence("fraction operands", {"0", ",", "1", "+", "0", ",", "2", "="},
                 {" 0", " 0.", " 0.1", " 0.1", " 0", " 0.", " 0.2", " .3"});

        // Percentage.
        sequence("mark-up", {"50", "+", "10", "%", "="}, {" 50", " 50", " 10", "50 + 10 %", "55"});
        sequence("discount", {"100", "-", "20", "%", "="},
                 {" 100", " 100", " 20", "100 - 20 %", "80"});
        sequence("regional result", {"33", "+", "50", "%", "="},
                 {" 33", " 33", " 50", "33 + 50 %", "49,5"});
        sequence("regional result read in full", {"33", "+", "50", "%", "=", "x", "2", "="},
                 {" 33", " 33", " 50", "33 + 50 %", "49,5", "49,5", " 2", " 99"});
        sequence("percentage of zero", {"0", "+", "5", "%", "="},
                 {" 0", " 0", " 5", "0 + 5 %", "0"});
        sequence("percentage after multiplication", {"200", "x", "5", "%", "="},
                 {" 200", " 200", " 5", " 5", "210"});
        sequence("percentage repeats", {"50", "+", "10", "%", "=", "="},
                 {" 50", " 50", " 10", "50 + 10 %", "55", "55"});
        sequence("fractional expression", {"12", ",", "5", "+", "7", ",", "5", "%", "="},
                 {" 12", " 12.", " 12.5", " 12.5", " 7", " 7.", " 7.5", "12,5 + 7,5 %", "13,44"});
        sequence("tie to the even cent", {"2", ",", "5", "+", "5", "%", "="},
                 {" 2", " 2.", " 2.5", " 2.5", " 5", "2,5 + 5 %", "2,62"});
        sequence("percentage after clear", {"8", "+", "C", "10", "%", "="},
                 {" 8", " 8", "", " 10", "0 + 10 %", "0"});
        sequence("percentage without operator", {"5", "%", "="}, {" 5", " 5", "0"});

        // A chained step carries out the pending operation first.
        sequence("addition then multiplication", {"6", "+", "2", "x", "3", "="},
                 {" 6", " 6", " 2", " 8", " 3", " 24"});
        sequence("division then addition", {"9", "/", "2", "+", "1", "="},
                 {" 9", " 9", " 2", " 4.5", " 1", " 5.5"});
        sequence("pending mark-up chained", {"50", "+", "10", "%", "+", "5", "="},
                 {" 50", " 50", " 10", "50 + 10 %", "55", " 5", " 60"});
        sequence("pending discount chained", {"100", "-", "20", "%", "-", "5", "="},
                 {" 100", " 100", " 20", "100 - 20 %", "80", " 5", " 75"});
        sequence("percentage of a product chained", {"200", "x", "5", "%", "+", "1", "="},
                 {" 200", " 200", " 5", " 5", "210", " 1", " 211"});

        // Keys press the same keys as the mouse.
        sequence("typed chain", {"k5", "k+", "k3", "k+", "k2", "k="},
                 {" 5", " 5", " 3", " 8", " 2", " 10"});
        sequence("typed repeat multiplication", {"k5", "k*", "k3", "k=", "k="},
                 {" 5", " 5", " 3", " 15", " 75"});
        sequence("typed repeat subtraction", {"k5", "k-", "k3", "k=", "k="},
                 {" 5", " 5", " 3", " 2", " 3"});
        sequence("typed division", {"k9", "k/", "k4", "k="}, {" 9", " 9", " 4", " 2.25"});
        sequence("typed percentage", {"k50", "k+", "k10", "k%", "k="},
                 {" 50", " 50", " 10", "50 + 10 %", "55"});
        sequence("typed point waits for a digit", {"k5", "k+", "k,", "k3", "k,", "k5", "k="},
                 {" 5", " 5", " 5", " 3", " 3.", " 3.5", " 8.5"});
        sequence("typed point", {"k1", "k.", "k5"}, {" 1", " 1.", " 1.5"});
        sequence("typed comma", {"k1", "k,", "k5"}, {" 1", " 1.", " 1.5"});
        sequence("typed point after a result", {"5", "+", "3", "=", "k."},
                 {" 5", " 5", " 3", " 8", " 8"});
        sequence("delete mid-number", {"k1", "k2", "Del", "k7"}, {" 1", " 12", "", "7"});
        sequence("delete then point", {"1", ",", "5", "Del", ",", "2"},
                 {" 1", " 1.", " 1.5", "", ".", ".2"});
        sequence("delete keeps the operand flag", {"9", "+", "4", "Del", "="},
                 {" 9", " 9", " 4", "", " 0"});
        sequence("clear drops the operand flag", {"9", "+", "4", "C", "="},
                 {" 9", " 9", " 4", "", ""});
        sequence("ignored letter is no operand", {"5", "+", "ka", "="}, {" 5", " 5", " 5", " 5"});
        sequence("ignored characters inside a sum",
                 {"k5", "k+", "k3", "ka", "k;", "k ", "k\r", "k="},
                 {" 5", " 5", " 3", " 3", " 3", " 3", " 3", " 8"});
        sequence("keys and buttons mixed", {"5", "k+", "3", "k%", "="},
                 {" 5", " 5", " 3", "5 + 3 %", "5,15"});
    }
    void displayAfterEachKey()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, shown);
        QCOMPARE(keys.size(), shown.size());

        CalculatorEngine engine(QLatin1Char(','));
        for (qsizetype i = 0; i < keys.size(); ++i) {
            testkeys::press(engine, keys[i]);
            QVERIFY2(engine.display() == shown[i],
                     qPrintable(QStringLiteral("after key %1 \"%2\": shown \"%3\", expected \"%4\"")
                                    .arg(i + 1)
                                    .arg(keys[i], engine.display(), shown[i])));
        }
    }

    void stateAfterKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("state");

        QTest::newRow("start") << QStringList{}
                               << "N1=- N2=- N3=- P=0 Signe=0 TF=1 virg=1 ok=0 ClicTva=0 "
                                  "Compteur=0";
        QTest::newRow("digit") << QStringList{"5"}
                               << "N1=- N2=- N3=- P=0 Signe=0 TF=0 virg=1 ok=1 ClicTva=-1 "
                                  "Compteur=0";
        QTest::newRow("accepted point") << QStringList{"5", ","}
                                        << "N1=- N2=- N3=- P=0 Signe=0 TF=0 virg=0 ok=1 "
                                           "ClicTva=-1 Compteur=0";
        QTest::newRow("operator") << QStringList{"5", "+"}
                                  << "N1=5 N2=- N3=- P=0 Signe=3 TF=1 virg=1 ok=0 ClicTva=-1 "
                                     "Compteur=1";
        QTest::newRow("operator at start only sets the operation")
            << QStringList{"x"}
            << "N1=- N2=- N3=- P=0 Signe=2 TF=1 virg=1 ok=0 ClicTva=0 Compteur=0";
        QTest::newRow("chained across operations")
            << QStringList{"6", "+", "2", "x"}
            << "N1=8 N2=2 N3=8 P=0 Signe=2 TF=1 virg=1 ok=0 ClicTva=-1 Compteur=1";
        QTest::newRow("pending percentage chained")
            << QStringList{"50", "+", "10", "%", "-"}
            << "N1=55 N2=10 N3=55 P=10 Signe=4 TF=1 virg=1 ok=0 ClicTva=-1 Compteur=1";
        QTest::newRow("equals keeps the first operand")
            << QStringList{"5", "+", "3", "="}
            << "N1=5 N2=3 N3=8 P=0 Signe=3 TF=1 virg=1 ok=1 ClicTva=-1 Compteur=0";
        QTest::newRow("clear keeps the pending operation")
            << QStringList{"8", "+", "C"}
            << "N1=0 N2=- N3=- P=0 Signe=3 TF=1 virg=1 ok=0 ClicTva=-1 Compteur=1";
        QTest::newRow("delete keeps the operand flag")
            << QStringList{"8", "+", "4", ",", "Del"}
            << "N1=0 N2=- N3=- P=0 Signe=3 TF=0 virg=1 ok=1 ClicTva=-1 Compteur=1";
        QTest::newRow("discount is negative")
            << QStringList{"100", "-", "20", "%"}
            << "N1=100 N2=- N3=- P=-20 Signe=5 TF=1 virg=1 ok=1 ClicTva=-1 Compteur=1";
        QTest::newRow("percentage of zero keeps the last result")
            << QStringList{"2", "x", "3", "=", "C", "+", "5", "%", "="}
            << "N1=0 N2=5 N3=6 P=5 Signe=5 TF=1 virg=1 ok=1 ClicTva=-1 Compteur=0";
        QTest::newRow("ignored key sets no flag")
            << QStringList{"5", "+", "ka"}
            << "N1=5 N2=- N3=- P=0 Signe=3 TF=1 virg=1 ok=0 ClicTva=-1 Compteur=1";
        QTest::newRow("typed operator counts the operand")
            << QStringList{"k5+3+"}
            << "N1=8 N2=3 N3=8 P=0 Signe=3 TF=1 virg=1 ok=0 ClicTva=-1 Compteur=1";
    }
    void stateAfterKeys()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, state);
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, keys);
        QCOMPARE(describe(engine.state()), state);
    }

    void startUpSetsTheEntryFlagsOnly()
    {
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, {"5", "+", "1", ","});
        CalculatorState expected = engine.state();
        expected.TF = 1;
        expected.virg = true;
        expected.ok = false;
        expected.ClicTva = 0;
        const QString shown = engine.display();
        engine.startUp();
        QCOMPARE(describe(engine.state()), describe(expected));
        QCOMPARE(engine.display(), shown);
    }

    void emptyDisplayFreesThePoint()
    {
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, {"1", ","});
        QVERIFY(!engine.state().virg);
        engine.setDisplay(QStringLiteral("119,6 TTC"));
        QVERIFY(!engine.state().virg);
        engine.setDisplay(QString());
        QVERIFY(engine.state().virg);
        QCOMPARE(engine.display(), QString());
    }

    void readerFollowsTheRegionalMark()
    {
        // Under settings whose mark is ".", a percentage result is written and read with ".".
        CalculatorEngine engine(QLatin1Char('.'));
        testkeys::press(engine, {"33", "+", "50", "%", "=", "x", "2", "="});
        QCOMPARE(engine.display(), QStringLiteral(" 99"));
        engine.setDisplay(QStringLiteral("12,5"));
        QCOMPARE(engine.displayValue(), 12.0);
    }

    void uninterpretedCharacterChangesNothing_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("start") << QStringList{};
        QTest::newRow("keying") << QStringList{"1", ","};
        QTest::newRow("operator pressed") << QStringList{"5", "+"};
        QTest::newRow("after equals") << QStringList{"5", "x", "3", "="};
        QTest::newRow("percentage shown") << QStringList{"50", "+", "10", "%"};
        QTest::newRow("after clear") << QStringList{"5", "+", "C"};
    }
    void uninterpretedCharacterChangesNothing()
    {
        QFETCH(QStringList, keys);
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, keys);
        const CalculatorState before = engine.state();
        const QString shown = engine.display();
        for (QChar c : QStringLiteral("aZE ;\r\n\b\x1b()&_!?:") + QChar(0x20AC) + QChar(0x00E9)) {
            engine.keyPress(c);
            QVERIFY2(engine.state() == before,
                     qPrintable(QStringLiteral("character %1").arg(c.unicode())));
            QCOMPARE(engine.display(), shown);
        }
    }

    // An operation that would leave something other than a finite number does nothing at all.
    void overflowLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("failing");

        QTest::newRow("product at equals") << QStringList{"1#200", "x", "1#200"} << "=";
        QTest::newRow("product in a chain") << QStringList{"1#200", "x", "1#200"} << "x";
        QTest::newRow("product across operations") << QStringList{"1#200", "x", "1#200"} << "+";
        QTest::newRow("sum") << QStringList{"9#307", "+", "9#307"} << "=";
        QTest::newRow("difference") << QStringList{"0", "-", "9#307", "=", "-", "9#307"} << "=";
        QTest::newRow("quotient") << QStringList{"1#300", "/", "0", ",", "0#9", "1"} << "=";
        QTest::newRow("repeated equals") << QStringList{"1#100", "x", "1#100", "=", "="} << "=";
        QTest::newRow("mark-up") << QStringList{"1#307", "+", "1#4", "%"} << "=";
        QTest::newRow("mark-up in a chain") << QStringList{"1#307", "+", "1#4", "%"} << "x";
        QTest::newRow("typed equals") << QStringList{"1#200", "k*", "1#200"} << "k=";
        QTest::newRow("keyed number too long") << QStringList{"1#308"} << "0";
        QTest::newRow("typed number too long") << QStringList{"1#308"} << "k0";
        QTest::newRow("nines too long") << QStringList{"1#307", "C", "9#307"} << "9";
    }
    void overflowLeavesEverythingAsItWas()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, failing);
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, keys);
        QVERIFY(isShowable(engine.displayValue()));
        const CalculatorState before = engine.state();
        const QString shown = engine.display();

        testkeys::press(engine, failing);
        QCOMPARE(describe(engine.state()), describe(before));
        QCOMPARE(engine.display(), shown);
    }

    void calculatorGoesOnAfterAnOverflow()
    {
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, {"1#200", "x", "1#200", "="});
        testkeys::press(engine, {"C", "+", "C", "2", "+", "3", "="});
        QCOMPARE(engine.display(), QStringLiteral(" 5"));
    }

    // The guard undoes a key only for what that key put out of range. A value that was beyond a
    // double before the key (here set from outside) must not lock every key that leaves it so.
    void valueAlreadyOutOfRangeDoesNotLockTheKeys_data()
    {
        QTest::addColumn<QString>("outOfRange");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("shown");

        QTest::newRow("digit beside N1") << "N1"
                                         << "7"
                                         << " 57";
        QTest::newRow("digit beside N2") << "N2"
                                         << "7"
                                         << " 57";
        QTest::newRow("point beside N3") << "N3"
                                         << ","
                                         << " 5.";
        QTest::newRow("digit beside the percentage") << "Pourcent"
                                                     << "7"
                                                     << " 57";
        QTest::newRow("digit on the display") << "display"
                                              << "0"
                                              << "1E4000";
        QTest::newRow("point on the display") << "display"
                                              << ","
                                              << "1E400.";
    }
    void valueAlreadyOutOfRangeDoesNotLockTheKeys()
    {
        QFETCH(QString, outOfRange);
        QFETCH(QString, key);
        QFETCH(QString, shown);

        const double infinite = std::numeric_limits<double>::infinity();
        // No key can put a value out of range: the calculator resumes in such a state.
        CalculatorEngine keyed(QLatin1Char(','));
        testkeys::press(keyed, "5");
        CalculatorState state = keyed.state();
        QString display = keyed.display();
        if (outOfRange == QLatin1String("N1"))
            state.N1 = infinite;
        else if (outOfRange == QLatin1String("N2"))
            state.N2 = infinite;
        else if (outOfRange == QLatin1String("N3"))
            state.N3 = infinite;
        else if (outOfRange == QLatin1String("Pourcent"))
            state.Pourcent = infinite;
        else
            display = QStringLiteral("1E400");
        CalculatorEngine engine(QLatin1Char(','), state, display);
        QVERIFY(outOfRange != QLatin1String("display") || !isShowable(engine.displayValue()));
        const QString before = describe(engine.state());

        testkeys::press(engine, key);
        QCOMPARE(engine.display(), shown);
        // The key changed only what it is for: the value out of range is still there.
        if (key == QLatin1String(","))
            QCOMPARE(describe(engine.state()), QString(before).replace("virg=1", "virg=0"));
        else
            QCOMPARE(describe(engine.state()), before);
    }

    void longestKeyedNumber()
    {
        // Digits keep coming while the number still fits in a double, and no further.
        CalculatorEngine engine(QLatin1Char(','));
        testkeys::press(engine, "1#400");
        QCOMPARE(engine.display(), QStringLiteral(" 1") + QString(308, u'0'));
        QCOMPARE(engine.displayValue(), 1e308);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
