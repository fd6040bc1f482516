// The rules of the price-change calculator's fields, without the window: what each event empties
// or hides in rate mode and in fixed-rate mode.

#include "margin/pricechangemodes.h"

#include <QTest>

using namespace margin;

namespace {

// "direction", "click first", "click second", "click rate" or "first edited".
ChangeEffect effectOf(const PriceChangeModes &modes, const QString &event)
{
    if (event == QLatin1String("direction"))
        return modes.directionChosen();
    if (event == QLatin1String("first edited"))
        return modes.firstEdited();
    const QStringList fields{"click first", "click second", "click rate"};
    return modes.fieldClicked(ChangeField(fields.indexOf(event)));
}

// R, 1, 2: the rate, the first or the second value emptied; h: the second value hidden.
QString describe(const ChangeEffect &effect)
{
    QString out;
    if (effect.emptyRate)
        out += QLatin1Char('R');
    if (effect.emptyFirst)
        out += QLatin1Char('1');
    if (effect.emptySecond)
        out += QLatin1Char('2');
    if (effect.hideSecond)
        out += QLatin1Char('h');
    return out;
}

} // namespace

class TestPriceChangeModes : public QObject
{
    Q_OBJECT

private slots:
    void effects_data()
    {
        QTest::addColumn<bool>("fixedRate");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("expected");
        // Rate mode: every touch of a value or the direction asks for a new rate.
        QTest::newRow("rate: direction") << false << "direction"
                                         << "R";
        QTest::newRow("rate: click first") << false << "click first"
                                           << "R1";
        QTest::newRow("rate: click second") << false << "click second"
                                            << "R2";
        QTest::newRow("rate: click rate") << false << "click rate"
                                          << "R";
        QTest::newRow("rate: first edited") << false << "first edited"
                                            << "";
        // Fixed-rate mode: the typed rate stays; a new first value hides the stale result.
        QTest::newRow("fixed: direction") << true << "direction"
                                          << "";
        QTest::newRow("fixed: click first") << true << "click first"
                                            << "1";
        QTest::newRow("fixed: click second") << true << "click second"
                                             << "2";
        QTest::newRow("fixed: click rate") << true << "click rate"
                                           << "R";
        QTest::newRow("fixed: first edited") << true << "first edited"
                                             << "h";
    }
    void effects()
    {
        QFETCH(bool, fixedRate);
        QFETCH(QString, event);
        QFETCH(QString, expected);
        const PriceChangeModes modes(fixedRate ? ChangeMode::FixedRate : ChangeMode::Rate);
        QCOMPARE(describe(effectOf(modes, event)), expected);
    }
};

QTEST_GUILESS_MAIN(TestPriceChangeModes)
#include "test_pricechangemodes.moc"
