// The desk without any window: what the keys, the VAT keys, the rate switch, a paste and the
// margin window's computations write on the tape; the rates read at start-up and their
// conversion; new rates stored; the switches, as the tape and the user's settings see them; and
// the same random stream as the calculator's own tests.

#include "desk/desk.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using tape::Line;

namespace {

const QChar comma(u',');

// "TVA 20 % 20", "120 *": label, amount and mark as a row of the tape reads.
QStringList texts(const QList<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << QStringList{l.label, l.amount, l.mark}.join(u' ').trimmed();
    return out;
}

// Presses keys on the desk. Calculator characters are typed; C and D are the clear and Delete
// keys; T, H, V and d the TTC, HT, TVA and dont TVA keys; S the rate switch; P pastes the text
// given.
void run(desk::Desk &desk, const QString &keys, const QString &pasted = {})
{
    const QString vatKeys = QStringLiteral("THVd");
    for (const QChar c : keys) {
        if (c == u'C')
            desk.pressClear();
        else if (c == u'D')
            desk.pressDelete();
        else if (c == u'S')
            desk.switchRate();
        else if (c == u'P')
            desk.pastePrice(pasted);
        else if (const auto k = vatKeys.indexOf(c); k >= 0)
            desk.vatKey(vat::VatKey(k));
        else
            desk.typeKey(c);
    }
}

// The last row of the tape that reads so.
int rowOf(const desk::Desk &desk, const QString &line)
{
    return int(texts(desk.tape().lines()).lastIndexOf(line));
}

// One correction through the desk's editing: "=25" replaces the amount, "-" removes the entry,
// "+5" inserts 5 before it, "*" makes its operator a multiplication, "U" and "R" undo and redo.
bool correct(desk::Desk &desk, const QString &line, const QString &action)
{
    tape::TapeEditing &editing = *desk.tapeEditing();
    const int row = rowOf(desk, line);
    if (action == u"U")
        return editing.undo();
    if (action == u"R")
        return editing.redo();
    if (action == u"-")
        return editing.removeEntry(row);
    if (action == u"*")
        return editing.setOperator(row, tape::EntryOperator::Multiply);
    if (action.startsWith(u'+'))
        return editing.insertBefore(row, action.mid(1), tape::EntryOperator::Add);
    return editing.replaceAmount(row, action.mid(1));
}

} // namespace

class TestDesk : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_program, m_user, m_tapeFolder;
    std::unique_ptr<desk::Desk> m_desk;

    // A desk whose rate file holds the given text (none for a null text).
    desk::Desk &openDesk(const QByteArray &rateFile = {})
    {
        if (!rateFile.isNull()) {
            QFile file(QDir(m_program->path()).filePath(vat::RateFile::fileName()));
            if (!file.open(QIODevice::WriteOnly) || file.write(rateFile) != rateFile.size())
                qFatal("cannot write the rate file");
        }
        m_desk = std::make_unique<desk::Desk>(
            comma, vat::RateFile(m_program->path(), m_user->path()), m_tapeFolder->path());
        return *m_desk;
    }
    // The rates at start-up, converted step by step: the steps it took until the first rate
    // became active, or -1 when it never did.
    int startUpSteps(desk::Desk &desk)
    {
        desk.startUp();
        for (int step = 1; desk.convertingRates() && step < 50; ++step) {
            desk.stepRateConversion();
            if (!desk.rates().TauxTVA().isEmpty())
                return step;
        }
        return -1;
    }

private slots:
    void init()
    {
        m_program = std::make_unique<QTemporaryDir>();
        m_user = std::make_unique<QTemporaryDir>();
        m_tapeFolder = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_desk.reset();
        m_tapeFolder.reset();
        m_user.reset();
        m_program.reset();
    }

    void keys_data();
    void keys();
    void margin_data();
    void margin();
    void priceChange_data();
    void priceChange();
    void startUpConversion_data();
    void startUpConversion();
    void conversionRunsOnItsTimer();
    void storedRates();
    void copyAndPaste();
    void switches_data();
    void switches();
    void marginAtPriceEnding();
    void switchesKept();
    void sameAsTheBareCalculator_data();
    void sameAsTheBareCalculator();
    void corrections_data();
    void corrections();
    void correctedMarginBlock();
    void takeBackIsAPaste();
    void correctionsAfterRestart_data();
    void correctionsAfterRestart();
};

void TestDesk::keys_data()
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
    // The second rate is 7: the switch names it, the VAT key uses it, the next switch goes back.
    QTest::newRow("rate switch") << "S100TS" << r20
                                 << QStringList{"Taux de TVA : 7 %", "100 HT", "TVA 7 % 7",
                                                "107 TTC", "Taux de TVA : 20 %"}
                                 << 10700ll;
}

void TestDesk::keys()
{
    QFETCH(QString, keys);
    QFETCH(QString, rate);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    desk::Desk &desk = openDesk();
    desk.resumeRates({vat::Rate::fromText(rate), QStringLiteral("7")});
    run(desk, keys);
    QCOMPARE(texts(desk.tape().lines()), lines);
    QCOMPARE(desk.tape().grandTotalCents(), total);
}

void TestDesk::margin_data()
{
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

// What the margin window hands over after "Calculer": the set-up, the fields and the writes.
void TestDesk::margin()
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
    const margin::FieldWrites writes = calculator.calculate(setup, fields, 19.6, comma);
    desk::Desk &desk = openDesk();
    desk.recordMarginCalculation(setup, fields, writes);
    QCOMPARE(texts(desk.tape().lines()), lines);
    QCOMPARE(desk.tape().grandTotalCents(), 0);
}

void TestDesk::priceChange_data()
{
    QTest::addColumn<bool>("fixedRate");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<QStringList>("fields"); // first value, second value, rate before "Calculer"
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("fixed discount") << true << false << QStringList{"200", "", "10"}
                                    << QStringList{"Remise 10 %", "200", "180 *"};
    QTest::newRow("fixed increase") << true << true << QStringList{"200", "", "2.5"}
                                    << QStringList{"Hausse 2,5 %", "200", "205 *"};
    QTest::newRow("discount found") << false << false << QStringList{"250", "200", ""}
                                    << QStringList{"250", "200", "Remise 20 %"};
    QTest::newRow("rate still shown: nothing computed")
        << false << false << QStringList{"250", "200", "20"} << QStringList{};
}

void TestDesk::priceChange()
{
    QFETCH(bool, fixedRate);
    QFETCH(bool, increase);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, lines);
    const auto mode = fixedRate ? margin::ChangeMode::FixedRate : margin::ChangeMode::Rate;
    const auto direction = increase ? margin::Direction::Increase : margin::Direction::Discount;
    const margin::PriceChangeFields before{fields[0], fields[1], fields[2]};
    margin::PriceChange change;
    const margin::PriceChangeWrites writes = change.calculate(mode, direction, before, comma);
    desk::Desk &desk = openDesk();
    desk.recordPriceChange(mode, direction, before, writes);
    QCOMPARE(texts(desk.tape().lines()), lines);
    // The result is in bold, but a price change is not a result of the calculator's keys.
    if (!lines.isEmpty())
        QVERIFY(desk.tape().lines().last().result);
    QCOMPARE(desk.tape().grandTotalCents(), 0);
}

void TestDesk::startUpConversion_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("steps"); // until the first rate is active; -1: never
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("switched"); // the caption after one rate switch
    QTest::newRow("19.6 and 5.5") << QByteArray("19.6\r\n5.5\r\n") << "      Taux de TVA : 19,6 %"
                                  << 5 << "19,6"
                                  << "5,5"
                                  << "      Taux de TVA : 5,5 %";
    QTest::newRow("first shorter")
        << QByteArray("7\r\n19.6\r\n") << "      Taux de TVA : 7 %" << 5 << "7"
        << "19,6"
        << "      Taux de TVA : 19,6 %";
    QTest::newRow("two characters and three")
        << QByteArray("20\r\n5.5\r\n") << "      Taux de TVA : 20 %" << 4 << "20"
        << "5,5"
        << "      Taux de TVA : 5,5 %";
    QTest::newRow("trailing zeros")
        << QByteArray("19.60\r\n5.50\r\n") << "      Taux de TVA : 19,6 %" << 5 << "19,6"
        << "5,50"
        << "      Taux de TVA : 5,50 %";
    QTest::newRow("second with two separators")
        << QByteArray("19.6\r\n1.2.3\r\n") << "      Taux de TVA : 19,6 %" << -1 << ""
        << "1.2.3"
        << "      Taux de TVA : 1.2.3 %";
    QTest::newRow("no file") << QByteArray() << "      Taux de TVA :  %" << -1 << ""
                             << ""
                             << "      Taux de TVA :  %";
}

void TestDesk::startUpConversion()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, caption);
    QFETCH(int, steps);
    QFETCH(QString, active);
    QFETCH(QString, second);
    QFETCH(QString, switched);
    desk::Desk &desk = openDesk(file);
    QSignalSpy changed(&desk.rates(), &desk::Rates::changed);
    QCOMPARE(startUpSteps(desk), steps);
    QVERIFY(!desk.convertingRates());
    // Whatever the outcome, the caption written at start stays, and the display is untouched.
    QCOMPARE(desk.rates().caption(), caption);
    QCOMPARE(desk.display(), QString());
    QCOMPARE(changed.count(), steps < 0 ? 1 : 2);
    // A late step changes nothing.
    desk.stepRateConversion();
    QCOMPARE(desk.rates().TauxTVA(), active);
    QCOMPARE(desk.rates().NumTaux(), 1);
    QCOMPARE(desk.rates().shared().TauxTVA2, second);
    QVERIFY(desk.tape().lines().isEmpty());

    desk.switchRate();
    QCOMPARE(desk.rates().caption(), switched);
    QCOMPARE(desk.rates().NumTaux(), 0);
}

void TestDesk::conversionRunsOnItsTimer()
{
    desk::Desk &desk = openDesk("19.6\r\n5.5\r\n");
    desk.startUp();
    QVERIFY(desk.convertingRates());
    QVERIFY(desk.rates().TauxTVA().isEmpty());
    QTRY_COMPARE(desk.rates().TauxTVA(), QStringLiteral("19,6"));
    QVERIFY(!desk.convertingRates());
}

// New rates from the options window, while the start-up conversion is still under way: they
// win, the first becomes active whichever was, and the file keeps them as typed.
void TestDesk::storedRates()
{
    desk::Desk &desk = openDesk("19.6\r\n5.5\r\n");
    desk.startUp();
    desk.stepRateConversion();
    desk.switchRate();
    QCOMPARE(desk.rates().NumTaux(), 0);

    const desk::Desk::StoredRates stored =
        desk.storeRates(QStringLiteral("7"), QStringLiteral("5.50"));
    QCOMPARE(stored.first, QStringLiteral("7"));
    QCOMPARE(stored.second, QStringLiteral("5,5"));
    QVERIFY(stored.written);
    QVERIFY(!desk.convertingRates());
    QCOMPARE(desk.rates().caption(), QStringLiteral("       Taux de TVA : 7%"));
    QCOMPARE(desk.rates().TauxTVA(), QStringLiteral("7"));
    QCOMPARE(desk.rates().NumTaux(), 1);
    QCOMPARE(desk.rates().firstValue().value_or(0), 7.0);
    QFile file(QDir(m_program->path()).filePath(vat::RateFile::fileName()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("7\r\n5.50\r\n"));

    run(desk, "100T");
    QCOMPARE(desk.display(), QStringLiteral("107 TTC"));
}

void TestDesk::copyAndPaste()
{
    desk::Desk &desk = openDesk();
    QCOMPARE(desk.copiedText(), QString());
    run(desk, "12,50");
    QCOMPARE(desk.copiedText(), QStringLiteral("12,5"));
    run(desk, "+");

    QSignalSpy shown(&desk, &desk::Desk::displayChanged);
    QVERIFY(!desk.canPaste(QStringLiteral("12 34")));
    QVERIFY(!desk.pastePrice(QStringLiteral("12 34")));
    QCOMPARE(shown.count(), 0);
    QVERIFY(desk.pastePrice(QStringLiteral("1 234,56 €")));
    QCOMPARE(shown.count(), 1);
    QCOMPARE(desk.display(), QStringLiteral(" 1234.56"));
    run(desk, "=");
    QCOMPARE(texts(desk.tape().lines()), (QStringList{"12,50 +", "1234,56 =", "1247,06 *"}));
}

void TestDesk::switches_data()
{
    using calc::Decimals;
    using calc::Rounding;
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("total");
    const QString r20 = QStringLiteral("20");
    QTest::newRow("2 decimals: the shown result carried on")
        << int(Decimals::Two) << int(Rounding::Nearest) << "10/3=*3=" << r20 << " 9.99"
        << QStringList{"10 ÷", "3 =", "3,33 *", "3,33 ×", "3 =", "9,99 *"} << 1332ll;
    QTest::newRow("2 decimals rounded down")
        << int(Decimals::Two) << int(Rounding::Down) << "2/3=" << r20 << " 0.66"
        << QStringList{"2 ÷", "3 =", "0,66 *"} << 66ll;
    QTest::newRow("2 decimals rounded up")
        << int(Decimals::Two) << int(Rounding::Up) << "2/3=" << r20 << " 0.67"
        << QStringList{"2 ÷", "3 =", "0,67 *"} << 67ll;
    QTest::newRow("0 decimals, TTC at 5,5")
        << int(Decimals::Zero) << int(Rounding::Nearest) << "100T"
        << "5,5"
        << "106 TTC" << QStringList{"100 HT", "TVA 5,5 % 6", "106 TTC"} << 10600ll;
    QTest::newRow("2 decimals, TTC at 20")
        << int(Decimals::Two) << int(Rounding::Nearest) << "100T" << r20 << "120,00 TTC"
        << QStringList{"100 HT", "TVA 20 % 20,00", "120,00 TTC"} << 12000ll;
    QTest::newRow("adding mode: keyed cents")
        << int(Decimals::Add2) << int(Rounding::Nearest) << "1234+566=" << r20 << " 18.00"
        << QStringList{"12,34 +", "5,66 =", "18,00 *"} << 1800ll;
    QTest::newRow("adding mode: a product as keyed")
        << int(Decimals::Add2) << int(Rounding::Nearest) << "1234*2=" << r20 << " 2468.00"
        << QStringList{"1234 ×", "2 =", "2468,00 *"} << 246800ll;
}

// The switches as the menus set them: the display, the tape and the grand total agree.
void TestDesk::switches()
{
    QFETCH(int, decimals);
    QFETCH(int, rounding);
    QFETCH(QString, keys);
    QFETCH(QString, rate);
    QFETCH(QString, display);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    desk::Desk &desk = openDesk();
    desk.resumeRates({vat::Rate::fromText(rate), QStringLiteral("7")});
    QSignalSpy moved(&desk, &desk::Desk::switchesChanged);
    desk.chooseDecimals(calc::Decimals(decimals));
    desk.chooseRounding(calc::Rounding(rounding));
    QCOMPARE(moved.count(), 2);
    run(desk, keys);
    QCOMPARE(desk.display(), display);
    QCOMPARE(texts(desk.tape().lines()), lines);
    QCOMPARE(desk.tape().grandTotalCents(), total);
}

// The margin window raises the selling price to the desk's ending; the tape says so under it.
void TestDesk::marginAtPriceEnding()
{
    const margin::MarginSetup setup{margin::Mode::Coefficient, margin::GivenPrice::Purchase, false,
                                    true};
    margin::FieldTexts fields{QStringLiteral("80"), {}, {}, {}, QStringLiteral("1.3"), {}};
    desk::Desk &desk = openDesk();
    desk.choosePriceEnding(calc::PriceEnding::Ninety);
    margin::MarginCalculator calculator;
    calculator.setPriceEnding(desk.switches().priceEnding);
    const margin::FieldWrites writes = calculator.calculate(setup, fields, 20.0, comma);
    desk.recordMarginCalculation(setup, fields, writes, calculator.lastPriceEnding());
    const QStringList lines = texts(desk.tape().lines());
    QCOMPARE(lines.mid(0, 3), (QStringList{"Prix d'achat HT 80", "Prix de vente TTC 124,90",
                                           "Prix de vente arrondi à ,90"}));
}

// The user's choices are kept where the desk read them, and the next start finds them.
void TestDesk::switchesKept()
{
    const QString settings = QDir(m_user->path()).filePath(QStringLiteral("switches.ini"));
    desk::Desk &desk = openDesk();
    desk.loadSwitches(calc::SwitchSettings(settings));
    QVERIFY(desk.switches() == calc::Switches{});
    desk.chooseDecimals(calc::Decimals::Add2);
    desk.choosePriceEnding(calc::PriceEnding::WholeEuro);
    // A calculation replayed in its own mode leaves the user's choices alone.
    desk.setSwitches({});
    desk::Desk &next = openDesk();
    next.loadSwitches(calc::SwitchSettings(settings));
    QVERIFY((next.switches() == calc::Switches{calc::Decimals::Add2, calc::Rounding::Nearest,
                                               calc::PriceEnding::WholeEuro}));
}

void TestDesk::sameAsTheBareCalculator_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 7") << 7u;
    QTest::newRow("seed 20261208") << 20261208u;
}

// The desk only adds the tape and the rates: the same random stream of keys, VAT keys and rate
// switches leaves the same display and state as on a bare calculator after every event.
void TestDesk::sameAsTheBareCalculator()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    desk::Desk &desk = openDesk();
    desk.resumeRates({vat::Rate::fromNumber(20), QStringLiteral("5,5")});
    calc::CalculatorEngine bare(comma);
    static const calc::Operation operations[] = {calc::Division, calc::Multiplication,
                                                 calc::Addition, calc::Subtraction};
    static const QString typed = QStringLiteral("0123456789,.+-*/%=a ");
    for (int i = 0; i < 50'000; ++i) {
        const int pick = random.bounded(100);
        const int arg = random.bounded(1000);
        if (pick < 30) {
            desk.pressDigit(arg % 10);
            bare.digit(arg % 10);
        } else if (pick < 35) {
            desk.pressDecimalPoint();
            bare.decimalPoint();
        } else if (pick < 38) {
            desk.pressClear();
            bare.clear();
        } else if (pick < 50) {
            desk.pressOperator(operations[arg % 4]);
            bare.operatorKey(operations[arg % 4]);
        } else if (pick < 54) {
            desk.pressPercent();
            bare.percent();
        } else if (pick < 64) {
            desk.pressEquals();
            bare.equals();
        } else if (pick < 80) {
            desk.typeKey(typed[arg % typed.size()]);
            bare.keyPress(typed[arg % typed.size()]);
        } else if (pick < 82) {
            desk.pressDelete();
            bare.deleteKey();
        } else if (pick < 84) {
            desk.switchRate();
        } else if (pick < 99) {
            const auto key = vat::VatKey(arg % 4);
            vat::applyVatKey(bare, key, desk.rates().TauxTVA());
            desk.vatKey(key);
        } else {
            for (int n = 0; n < 20 + arg % 40; ++n) {
                desk.pressDigit(9);
                bare.digit(9);
            }
        }
        QVERIFY2(desk.engine().state() == bare.state() && desk.display() == bare.display(),
                 qPrintable(QStringLiteral("event %1 (pick %2): \"%3\" against \"%4\"")
                                .arg(i)
                                .arg(pick)
                                .arg(desk.display(), bare.display())));
    }
    // The stream really wrote a tape, results and rate switches among its lines.
    const QList<Line> &lines = desk.tape().lines();
    QVERIFY(lines.size() > 10'000);
    QVERIFY(std::count_if(lines.begin(), lines.end(), [](const Line &l) { return l.total; }) >
            1000);
    QVERIFY(std::any_of(lines.begin(), lines.end(),
                        [](const Line &l) { return l.label == QStringLiteral("Taux de TVA :"); }));
}

void TestDesk::corrections_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("line");      // the line corrected
    QTest::addColumn<QStringList>("steps"); // corrections, see correct()
    QTest::addColumn<QString>("then");      // keys typed after them
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("display");
    const QString sum = QStringLiteral("100+20+30=");
    QTest::newRow("amount") << sum << "20 +" << QStringList{"=25"} << ""
                            << QStringList{"100 +", "25 +", "30 =", "155 *"} << 15500ll << " 155";
    QTest::newRow("removed") << sum << "20 +" << QStringList{"-"} << ""
                             << QStringList{"100 +", "30 =", "130 *"} << 13000ll << " 130";
    QTest::newRow("removed, undone")
        << sum << "20 +" << QStringList{"-", "U"} << ""
        << QStringList{"100 +", "20 +", "30 =", "150 *"} << 15000ll << " 150";
    QTest::newRow("undone, redone")
        << sum << "20 +" << QStringList{"=25", "U", "R"} << ""
        << QStringList{"100 +", "25 +", "30 =", "155 *"} << 15500ll << " 155";
    QTest::newRow("first entry, operator")
        << sum << "100 +" << QStringList{"*"} << ""
        << QStringList{"100 ×", "20 +", "30 =", "2030 *"} << 203000ll << " 2030";
    QTest::newRow("inserted") << sum << "30 =" << QStringList{"+5"} << ""
                              << QStringList{"100 +", "20 +", "5 +", "30 =", "155 *"} << 15500ll
                              << " 155";
    // The rate stays the one the key used, whichever is active since.
    QTest::newRow("VAT key") << "100TS"
                             << "100 HT" << QStringList{"=200"} << ""
                             << QStringList{"200 HT", "TVA 20 % 40", "240 TTC", "Taux de TVA : 7 %"}
                             << 24000ll << "240 TTC";
    QTest::newRow("a result taken further")
        << "100+20=+5="
        << "20 =" << QStringList{"=30"} << ""
        << QStringList{"100 +", "30 =", "130 *", "130 +", "5 =", "135 *"} << 26500ll << " 135";
    QTest::newRow("pending") << "100+20+"
                             << "20 +" << QStringList{"=30"} << "=" << QStringList{"100 +", "30 +"}
                             << 0ll << " 130";
    QTest::newRow("pending, then an operand")
        << "100+20+"
        << "20 +" << QStringList{"=30"} << "5=" << QStringList{"100 +", "30 +", "5 =", "135 *"}
        << 13500ll << " 135";
    QTest::newRow("a result is not corrected")
        << sum << "150 *" << QStringList{"=1"} << ""
        << QStringList{"100 +", "20 +", "30 =", "150 *"} << 15000ll << " 150";
}

// The tape's corrections through the desk: the lines, the grand total and the calculator follow.
void TestDesk::corrections()
{
    QFETCH(QString, keys);
    QFETCH(QString, line);
    QFETCH(QStringList, steps);
    QFETCH(QString, then);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    QFETCH(QString, display);
    desk::Desk &desk = openDesk();
    desk.resumeRates({vat::Rate::fromNumber(20), QStringLiteral("7")});
    run(desk, keys);
    const bool refused = line.endsWith(u'*');
    QSignalSpy shown(&desk, &desk::Desk::displayChanged);
    for (const QString &step : std::as_const(steps))
        QCOMPARE(correct(desk, line, step), !refused);
    QCOMPARE(shown.isEmpty(), refused);
    run(desk, then);
    QCOMPARE(texts(desk.tape().lines()), lines);
    QCOMPARE(desk.tape().grandTotalCents(), total);
    QCOMPARE(desk.display(), display);
}

// A margin block worked again by the margin logic, at the selling prices' ending it was made
// with.
void TestDesk::correctedMarginBlock()
{
    const margin::MarginSetup setup{margin::Mode::Coefficient, margin::GivenPrice::Purchase, false,
                                    true};
    margin::FieldTexts fields{QStringLiteral("80"), {}, {}, {}, QStringLiteral("1.3"), {}};
    desk::Desk &desk = openDesk();
    desk.resumeRates({vat::Rate::fromNumber(20), QStringLiteral("7")});
    desk.choosePriceEnding(calc::PriceEnding::Ninety);
    margin::MarginCalculator calculator;
    calculator.setPriceEnding(desk.switches().priceEnding);
    const margin::MarginNumbers before = calculator.numbers();
    const margin::FieldWrites writes = calculator.calculate(setup, fields, 20.0, comma);
    desk.recordMarginCalculation(setup, fields, writes, calculator.lastPriceEnding(), before);
    QCOMPARE(texts(desk.tape().lines()).mid(0, 3),
             (QStringList{"Prix d'achat HT 80", "Prix de vente TTC 124,90",
                          "Prix de vente arrondi à ,90"}));
    QVERIFY(
        !desk.tapeEditing()->whyNotCorrectable(rowOf(desk, "Prix de vente TTC 124,90")).isEmpty());
    desk.choosePriceEnding(calc::PriceEnding::None);
    QCOMPARE(desk.tapeEditing()->keyedText(rowOf(desk, "Coefficient 1,3")), "1,3");
    QVERIFY(correct(desk, "Prix d'achat HT 80", "=100"));
    QCOMPARE(texts(desk.tape().lines()).mid(0, 3),
             (QStringList{"Prix d'achat HT 100", "Prix de vente TTC 156,90",
                          "Prix de vente arrondi à ,90"}));
    QCOMPARE(desk.tapeEditing()->formerAmount(0), "80");
}

// An amount taken back from the tape is on the calculator exactly as a paste of it.
void TestDesk::takeBackIsAPaste()
{
    desk::Desk &desk = openDesk();
    run(desk, "12,5+7,5=9+");
    desk::Desk pasted(comma, vat::RateFile(m_program->path(), m_user->path()), m_user->path());
    run(pasted, "12,5+7,5=9+");
    QSignalSpy shown(&desk, &desk::Desk::displayChanged);
    QVERIFY(desk.tapeEditing()->takeBack(rowOf(desk, "20 *")));
    QCOMPARE(shown.count(), 1);
    QVERIFY(pasted.pastePrice(QStringLiteral("20")));
    QVERIFY(desk.engine().state() == pasted.engine().state());
    QCOMPARE(desk.display(), pasted.display());
    QCOMPARE(desk.display(), " 20");
}

void TestDesk::correctionsAfterRestart_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QStringList>("again"); // the same amount corrected again after the restart
    QTest::newRow("defaults") << int(calc::Decimals::Floating) << "100+20+30="
                              << "20 +"
                              << "25" << QStringList{"100 +", "25 +", "30 =", "155 *"} << 15500ll
                              << QStringList{"100 +", "21 +", "30 =", "151 *"};
    QTest::newRow("two decimals") << int(calc::Decimals::Two) << "10/3="
                                  << "10 ÷"
                                  << "20" << QStringList{"20 ÷", "3 =", "6,67 *"} << 667ll
                                  << QStringList{"21 ÷", "3 =", "7,00 *"};
}

// The next run reads the corrected tape back, with its former amounts and its grand total, and
// works its calculations again with the switches they were made with.
void TestDesk::correctionsAfterRestart()
{
    QFETCH(int, decimals);
    QFETCH(QString, keys);
    QFETCH(QString, line);
    QFETCH(QString, amount);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    QFETCH(QStringList, again);
    desk::Desk &desk = openDesk();
    desk.chooseDecimals(calc::Decimals(decimals));
    run(desk, keys);
    QVERIFY(correct(desk, line, u'=' + amount));
    QCOMPARE(texts(desk.tape().lines()), lines);

    desk::Desk &next = openDesk();
    next.openTape();
    QCOMPARE(texts(next.tape().lines()), lines);
    QCOMPARE(next.tape().grandTotalCents(), total);
    const int corrected = rowOf(next, amount + u' ' + line.section(u' ', 1));
    QCOMPARE(next.tapeEditing()->formerAmount(corrected), line.section(u' ', 0, 0));
    QCOMPARE(next.tapeEditing()->keyedText(corrected), amount);
    QVERIFY(next.tapeEditing()->replaceAmount(corrected, QStringLiteral("21")));
    QCOMPARE(texts(next.tape().lines()), again);
}

QTEST_GUILESS_MAIN(TestDesk)
#include "test_desk.moc"
