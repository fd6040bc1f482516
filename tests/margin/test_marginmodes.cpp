// The set-up rules of the margin calculator, without the window: the roles of the six fields, the
// option buttons, and the set-up a computation works with, after a sequence of clicks.

#include "margin/marginmodes.h"

#include <QTest>

using namespace margin;

namespace {

// "Check1" toggles the box; "Option1" .. "Option4", "OpPA", "OpPv" select a button; "PA TTC" ticks
// the box; "=Field" is a computation writing into that field (0 Achat .. 5 MargeBrute).
void apply(MarginModes &modes, const QString &event)
{
    const QStringList quantities{"Option1", "Option2", "Option3", "Option4"};
    if (event == QLatin1String("Check1"))
        modes.setFixedQuantity(!modes.fixedQuantity());
    else if (quantities.contains(event))
        modes.chooseQuantity(Mode(quantities.indexOf(event) + int(Mode::MarginRate)));
    else if (event == QLatin1String("OpPA"))
        modes.choosePrice(GivenPrice::Purchase);
    else if (event == QLatin1String("OpPv"))
        modes.choosePrice(GivenPrice::Selling);
    else if (event == QLatin1String("PA TTC"))
        modes.setPurchaseWithVat(true);
    else if (event.startsWith(QLatin1Char('=')))
        modes.resultWritten(AllFields[event.mid(1).toUInt()]);
}

// E entry, R result on show, H hidden result; then Option1 .. Option4, OpPA, OpPv as d (disabled),
// e (enabled) or S (selected); then the mode and given price "Calculer" works with.
QString describe(const MarginModes &modes)
{
    QString out;
    for (const Field f : AllFields)
        out += QStringLiteral("ERH")[int(modes.role(f))];
    out += QLatin1Char(' ');
    for (int q = 0; q < 4; ++q) {
        const bool on = modes.quantity() == Mode(q + int(Mode::MarginRate));
        out += QLatin1Char(on ? 'S' : modes.quantityOptionsEnabled() ? 'e' : 'd');
    }
    for (const GivenPrice p : {GivenPrice::Purchase, GivenPrice::Selling}) {
        const bool on = modes.givenPrice() == p;
        out += QLatin1Char(on ? 'S' : modes.priceChoiceEnabled() ? 'e' : 'd');
    }
    const std::optional<MarginSetup> setup = modes.setup();
    if (!setup)
        return out + QStringLiteral(" none");
    return out + QStringLiteral(" %1/%2%3")
                     .arg(int(setup->mode))
                     .arg(int(setup->given))
                     .arg(setup->purchaseWithVat ? QStringLiteral(" PA TTC") : QString());
}

} // namespace

class TestMarginModes : public QObject
{
    Q_OBJECT

private slots:
    void afterClicks_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("expected");
        // Modes: 0 free, 1 margin rate, 2 mark-up rate, 3 coefficient, 4 gross margin.
        // Given price: 0 none, 1 purchase, 2 selling.
        QTest::newRow("opens free") << QStringList{} << "EERRRR dddddd 0/0";
        QTest::newRow("ticked") << QStringList{"Check1"} << "EHHHEH eeSeSe 3/1";
        QTest::newRow("cleared") << QStringList{"Check1", "OpPv", "Check1"} << "EERRRR dddddd 0/0";
        QTest::newRow("margin rate") << QStringList{"Check1", "Option1"} << "EHEHHH Seeedd 1/0";
        QTest::newRow("mark-up rate") << QStringList{"Check1", "Option2"} << "HEHEHH eSeedd 2/0";
        QTest::newRow("gross margin keeps selling")
            << QStringList{"Check1", "OpPv", "Option4"} << "HEHHHE eeeSeS 4/2";
        QTest::newRow("coefficient after mark-up takes purchase")
            << QStringList{"Check1", "Option2", "Option3"} << "EHHHEH eeSeSe 3/1";
        QTest::newRow("results come on show")
            << QStringList{"Check1", "=0", "=1", "=2"} << "ERRHEH eeSeSe 3/1";
        QTest::newRow("a new price keeps results on show")
            << QStringList{"Check1", "=1", "=2", "OpPv"} << "HERHEH eeSeeS 3/2";
        QTest::newRow("a new quantity hides them")
            << QStringList{"Check1", "=1", "=2", "Option4"} << "EHHHHE eeeSSe 4/1";
        QTest::newRow("ticked again")
            << QStringList{"Check1", "Check1", "Check1"} << "EHHHEH eeSeSe 3/1";
        QTest::newRow("cleared from mark-up rate")
            << QStringList{"Check1", "Option2", "Check1"} << "EERRRR dddddd 0/0";
        QTest::newRow("selling price, then purchase again")
            << QStringList{"Check1", "OpPv", "OpPA"} << "EHHHEH eeSeSe 3/1";
        QTest::newRow("gross margin, then selling price")
            << QStringList{"Check1", "Option4", "OpPv"} << "HEHHHE eeeSeS 4/2";
        QTest::newRow("margin rate drops the price choice")
            << QStringList{"Check1", "OpPv", "Option1"} << "EHEHHH Seeedd 1/0";
        QTest::newRow("coefficient after margin rate takes purchase")
            << QStringList{"Check1", "OpPv", "Option1", "Option3"} << "EHHHEH eeSeSe 3/1";
        QTest::newRow("price boxes kept across modes")
            << QStringList{"PA TTC", "Check1", "Option1"} << "EHEHHH Seeedd 1/0 PA TTC";
    }
    void afterClicks()
    {
        QFETCH(QStringList, events);
        QFETCH(QString, expected);
        MarginModes modes;
        for (const QString &event : events)
            apply(modes, event);
        QCOMPARE(describe(modes), expected);
    }
};

QTEST_GUILESS_MAIN(TestMarginModes)
#include "test_marginmodes.moc"
