// Hundreds of thousands of random buttons and keys: whatever the order, the calculator never
// shows anything but a number, and its bookkeeping stays within its few allowed values.

#include "calculator/engine.h"
#include "checks/engineinvariants.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace calc;

class TestEngineRandom : public QObject
{
    Q_OBJECT

private:
    // One random button or key. Runs of nines drive the numbers to the edge of the range of a
    // double, where products and sums overflow.
    static QString pressRandom(CalculatorEngine &e, QRandomGenerator &random)
    {
        static const Operation operations[] = {Division, Multiplication, Addition, Subtraction};
        static const QString typed = QStringLiteral("0123456789,.+-*/%=aE ;\r\x1b");
        const int pick = random.bounded(100);
        if (pick < 30) {
            const int k = random.bounded(10);
            e.digit(k);
            return QStringLiteral("digit %1").arg(k);
        }
        if (pick < 35) {
            e.decimalPoint();
            return QStringLiteral("decimal point");
        }
        if (pick < 38) {
            e.clear();
            return QStringLiteral("clear");
        }
        if (pick < 50) {
            const Operation o = operations[random.bounded(4)];
            e.operatorKey(o);
            return QStringLiteral("operator %1").arg(int(o));
        }
        if (pick < 54) {
            e.percent();
            return QStringLiteral("percent");
        }
        if (pick < 66) {
            e.equals();
            return QStringLiteral("equals");
        }
        if (pick < 87) {
            const QChar c = typed[random.bounded(typed.size())];
            e.keyPress(c);
            return QStringLiteral("typed %1").arg(c.unicode());
        }
        if (pick < 89) {
            e.deleteKey();
            return QStringLiteral("delete");
        }
        if (pick < 99) {
            e.evaluatePending();
            return QStringLiteral("evaluation");
        }
        // Mostly runs long enough for a few products to overflow; now and then one longer than
        // any double, whose last digits must be refused.
        const int nines =
            random.bounded(10) == 0 ? 300 + random.bounded(30) : 20 + random.bounded(40);
        for (int i = 0; i < nines; ++i)
            e.digit(9);
        return QStringLiteral("%1 nines").arg(nines);
    }

private slots:
    void randomEvents_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 20240611") << 20240611u;
    }
    void randomEvents()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        CalculatorEngine engine(QLatin1Char(','));
        int nearTheEdge = 0;
        int percentagesShown = 0;
        constexpr int events = 100'000;
        for (int i = 0; i < events; ++i) {
            const QString event = pressRandom(engine, random);
            const QString broken = checks::brokenEngineInvariant(engine);
            QVERIFY2(broken.isEmpty(),
                     qPrintable(QStringLiteral("event %1 (%2): %3").arg(i).arg(event, broken)));
            if (std::fabs(engine.displayValue()) > 1e250)
                ++nearTheEdge;
            if (engine.display().endsWith(QLatin1String(" %")))
                ++percentagesShown;
        }
        // The run really went where things overflow and through the percentage expression.
        QVERIFY(nearTheEdge > 100);
        QVERIFY(percentagesShown > 100);
    }
};

QTEST_GUILESS_MAIN(TestEngineRandom)
#include "test_engine_random.moc"
