// Corrections on the tape: an entry's amount, its operator, an entry left out or put in; every
// result after it worked again, the grand total exact in cents, and undone back to the cent.

#include "desk/journal.h"
#include "journaldesk.h"
#include "tape/tapefile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString oldVersion = QStringLiteral(
    "Ce calcul a été enregistré par une version précédente : il ne peut pas être corrigé.");

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void corrections_data();
    void corrections();
    void refusals_data();
    void refusals();
    void undoRedoToTheCent();
    void calculatorFollows();
    void marginBlock();
    void priceChange();
    void oldLinesAreReadOnly();
    void correctionBeforeTheTrim();
    void correctionDigits_data();
    void correctionDigits();

private:
    QTemporaryDir m_dir;
};

void TestJournal::corrections_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("action"); // amount, operator, remove, insert
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("former"); // of the corrected line, if it stays

    QTest::newRow("middle entry") << "100+20+30="
                                  << "amount"
                                  << "20 +"
                                  << "25"
                                  << "100 + | 25 + | 30 = | 155 *" << qint64(15500) << "20";
    QTest::newRow("first entry") << "100+20+30="
                                 << "amount"
                                 << "100 +"
                                 << "110"
                                 << "110 + | 20 + | 30 = | 160 *" << qint64(16000) << "100";
    QTest::newRow("last entry") << "100+20+30="
                                << "amount"
                                << "30 ="
                                << "35"
                                << "100 + | 20 + | 35 = | 155 *" << qint64(15500) << "30";
    QTest::newRow("kept as keyed") << "12,50+7="
                                   << "amount"
                                   << "7 ="
                                   << "7,50"
                                   << "12,50 + | 7,50 = | 20 *" << qint64(2000) << "7";
    QTest::newRow("pasted price") << "100+20="
                                  << "amount"
                                  << "20 ="
                                  << "1 234,56 €"
                                  << "100 + | 1234,56 = | 1334,56 *" << qint64(133456) << "20";
    QTest::newRow("left out") << "100+20+30="
                              << "remove"
                              << "20 +"
                              << ""
                              << "100 + | 30 = | 130 *" << qint64(13000) << "";
    QTest::newRow("put in") << "100+20+30="
                            << "insert"
                            << "30 ="
                            << "5"
                            << "100 + | 20 + | 5 + | 30 = | 155 *" << qint64(15500) << "";
    QTest::newRow("operator") << "100+20+30="
                              << "operator"
                              << "20 +"
                              << "-"
                              << "100 + | 20 - | 30 = | 90 *" << qint64(9000) << "";
    QTest::newRow("percentage") << "200+10%="
                                << "amount"
                                << "10 %"
                                << "20"
                                << "200 + | 20 % | 240 *" << qint64(24000) << "10";
    QTest::newRow("VAT at its own rate")
        << "100T"
        << "amount"
        << "100 HT"
        << "200"
        << "200 HT | TVA 20 % 40 | 240 TTC" << qint64(24000) << "100";
    QTest::newRow("VAT after a sum")
        << "100+20=T"
        << "amount"
        << "20 ="
        << "30"
        << "100 + | 30 = | 130 * | 130 HT | TVA 20 % 26 | 156 TTC" << qint64(28600) << "20";
    QTest::newRow("continued from a result")
        << "100+20=+5="
        << "amount"
        << "20 ="
        << "30"
        << "100 + | 30 = | 130 * | 130 + | 5 = | 135 *" << qint64(26500) << "20";
    QTest::newRow("chain of three")
        << "10+1=*2=-4="
        << "amount"
        << "1 ="
        << "5"
        << "10 + | 5 = | 15 * | 15 × | 2 = | 30 * | 30 - | 4 = | 26 *" << qint64(7100) << "1";
    QTest::newRow("next calculation on its own")
        << "100+20=3+4="
        << "amount"
        << "20 ="
        << "30"
        << "100 + | 30 = | 130 * | 3 + | 4 = | 7 *" << qint64(13700) << "20";
    QTest::newRow("equals again") << "5+3=="
                                  << "amount"
                                  << "3 ="
                                  << "4"
                                  << "5 + | 4 = | 9 * | 9 = | 14 *" << qint64(2300) << "3";
    QTest::newRow("clear inside") << "8+C3="
                                  << "amount"
                                  << "3 ="
                                  << "4"
                                  << "8 + | 0 C | 4 = | 4 *" << qint64(400) << "3";
}

void TestJournal::corrections()
{
    QFETCH(QString, keys);
    QFETCH(QString, action);
    QFETCH(QString, row);
    QFETCH(QString, argument);
    QFETCH(QString, tape);
    QFETCH(qint64, cents);
    QFETCH(QString, former);

    JournalDesk desk(m_dir.path());
    desk.type(keys);
    const QStringList before = desk.texts();
    const qint64 total = desk.tape.grandTotalCents();
    const qsizetype at = desk.row(row);
    QVERIFY2(at >= 0, qPrintable(desk.texts().join(u'|')));

    tape::Journal::Outcome outcome;
    if (action == u"amount")
        outcome = desk.journal.correctAmount(at, argument);
    else if (action == u"remove")
        outcome = desk.journal.removeEntry(at);
    else if (action == u"insert")
        outcome = desk.journal.insertEntry(at, argument);
    else
        outcome = desk.journal.changeOperator(at, argument == u"-" ? calc::Subtraction
                                                                   : calc::Multiplication);
    QVERIFY2(outcome.done, qPrintable(outcome.refusal));
    QCOMPARE(desk.texts().join(QLatin1String(" | ")), tape);
    QCOMPARE(desk.tape.grandTotalCents(), cents);
    if (!former.isEmpty())
        QCOMPARE(desk.tape.lines()[at].former, former);
    for (const qint64 id : desk.journal.calculations()) {
        QCOMPARE(desk.journal.replay(id), desk.journal.linesOf(id));
        QVERIFY(desk.journal.startsWhereItWentOn(id));
    }

    QVERIFY(desk.journal.undo().done);
    QCOMPARE(desk.texts(), before);
    QCOMPARE(desk.tape.grandTotalCents(), total);
}

void TestJournal::refusals_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("text");

    QTest::newRow("a result") << "100+20="
                              << "120 *"
                              << "5";
    QTest::newRow("an operand that is a result") << "100+20=+5="
                                                 << "120 +"
                                                 << "5";
    QTest::newRow("the VAT amount") << "100T"
                                    << "TVA 20 % 20"
                                    << "5";
    QTest::newRow("letters") << "100+20="
                             << "20 ="
                             << "2O";
    QTest::newRow("two decimal marks") << "100+20="
                                       << "20 ="
                                       << "1,2,3";
    QTest::newRow("a sign the keys cannot key") << "100+20="
                                                << "20 ="
                                                << "+-5";
    QTest::newRow("the clear key") << "8+C3="
                                   << "0 C"
                                   << "5";
}

void TestJournal::refusals()
{
    QFETCH(QString, keys);
    QFETCH(QString, row);
    QFETCH(QString, text);
    JournalDesk desk(m_dir.path());
    desk.type(keys);
    const QStringList before = desk.texts();
    const tape::Journal::Outcome outcome = desk.journal.correctAmount(desk.row(row), text);
    QVERIFY(!outcome.done);
    QVERIFY(!outcome.refusal.isEmpty());
    QCOMPARE(desk.texts(), before);
    QVERIFY(!desk.journal.canUndo());
}

void TestJournal::undoRedoToTheCent()
{
    JournalDesk desk(m_dir.path());
    desk.type(QStringLiteral("100+20+30=+0,01=5T"));
    const QStringList first = desk.texts();
    QCOMPARE(desk.tape.grandTotalCents(), qint64(15000 + 15001 + 600));
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 +")), "25,37").done);
    QVERIFY(desk.journal.removeEntry(desk.row(QStringLiteral("100 +"))).done);
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("5 HT")), "7").done);
    QCOMPARE(desk.tape.grandTotalCents(), qint64(5537 + 5538 + 840));
    const QStringList last = desk.texts();
    while (desk.journal.canUndo())
        QVERIFY(desk.journal.undo().done);
    QCOMPARE(desk.texts(), first);
    QCOMPARE(desk.tape.grandTotalCents(), qint64(30601));
    while (desk.journal.canRedo())
        QVERIFY(desk.journal.redo().done);
    QCOMPARE(desk.texts(), last);
    QCOMPARE(desk.tape.grandTotalCents(), qint64(11915));
}

void TestJournal::calculatorFollows()
{
    // The calculator still shows the result: it shows the new one, and goes on from it.
    JournalDesk shown(m_dir.path());
    shown.type(QStringLiteral("100+20+30="));
    QVERIFY(shown.journal.correctAmount(shown.row(QStringLiteral("20 +")), "25").done);
    QVERIFY(shown.journal.calculatorAfterCorrection());
    QCOMPARE(shown.journal.calculatorAfterCorrection()->display, QStringLiteral(" 155"));

    // A calculation under way: the pending value follows, the keys typed since stay.
    JournalDesk pending(m_dir.path());
    pending.type(QStringLiteral("100+20+3"));
    QVERIFY(pending.journal.correctAmount(pending.row(QStringLiteral("20 +")), "25").done);
    const auto after = pending.journal.calculatorAfterCorrection();
    QVERIFY(after);
    QCOMPARE(after->display, QStringLiteral(" 3"));
    QCOMPARE(after->state.N1, std::optional<double>(125.0));
    calc::CalculatorEngine resumed(QLatin1Char(','), after->state, after->display);
    resumed.equals();
    QCOMPARE(resumed.display(), QStringLiteral(" 128"));

    // An earlier calculation that the last one does not go on from leaves the calculator alone.
    JournalDesk earlier(m_dir.path());
    earlier.type(QStringLiteral("100+20=3+4="));
    QVERIFY(earlier.journal.correctAmount(earlier.row(QStringLiteral("20 =")), "30").done);
    QVERIFY(!earlier.journal.calculatorAfterCorrection());
}

void TestJournal::marginBlock()
{
    JournalDesk desk(m_dir.path());
    tape::Journal::MarginDone done;
    done.setup.mode = margin::Mode::MarginRate;
    done.typed[margin::index(margin::Field::Achat)] = QStringLiteral("80");
    done.typed[margin::index(margin::Field::TauxMarge)] = QStringLiteral("25");
    done.firstRate = 20.0;
    desk.journal.marginCalculated(done);
    QCOMPARE(desk.texts(),
             QStringList({"Prix d'achat HT 80", "Prix de vente HT 100", "T de marge 25 %",
                          "T de marque 20 %", "Coefficient 1,25", "Marge brute HT 20"}));
    QVERIFY(!desk.journal.isCorrectable(desk.row(QStringLiteral("Prix de vente HT 100"))));
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("Prix d'achat HT 80")), "100").done);
    QCOMPARE(desk.texts(),
             QStringList({"Prix d'achat HT 100", "Prix de vente HT 125", "T de marge 25 %",
                          "T de marque 20 %", "Coefficient 1,25", "Marge brute HT 25"}));
    QCOMPARE(desk.tape.lines()[0].former, QStringLiteral("80"));
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("T de marge 25 %")), "50").done);
    QCOMPARE(desk.texts()[1], QStringLiteral("Prix de vente HT 150"));
    QCOMPARE(desk.texts()[4], QStringLiteral("Coefficient 1,5"));
    QVERIFY(!desk.journal.removeEntry(0).done);
}

void TestJournal::priceChange()
{
    JournalDesk desk(m_dir.path());
    desk.journal.priceChangeCalculated({false, true, "200", "180", "10"});
    QCOMPARE(desk.texts(), QStringList({"Remise 10 %", "200", "180 *"}));
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("Remise 10 %")), "25").done);
    QCOMPARE(desk.texts(), QStringList({"Remise 25 %", "200", "150 *"}));
    desk.journal.priceChangeCalculated({true, false, "80", "100", "25"});
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("80")), "50").done);
    QCOMPARE(desk.texts().mid(3), QStringList({"50", "100", "Hausse 100 %"}));
}

void TestJournal::oldLinesAreReadOnly()
{
    JournalDesk desk(m_dir.path());
    desk.tape.append({{QDateTime::currentDateTime(), {}, "12", "+"}});
    QCOMPARE(desk.journal.refusal(0), oldVersion);
    QVERIFY(!desk.journal.correctAmount(0, "13").done);
}

// Keys past the lines the tape keeps, then a correction before the event loop has trimmed them:
// the row chosen is the row corrected, and the grand total follows.
void TestJournal::correctionBeforeTheTrim()
{
    JournalDesk desk(m_dir.path());
    desk.type(QStringLiteral("100+20="));
    while (desk.tape.lines().size() < 31'000)
        desk.type(QStringLiteral("1+1="));
    const qint64 total = desk.tape.grandTotalCents();
    QVERIFY(desk.journal.correctAmount(1, "30").done);
    QCOMPARE(desk.texts().mid(0, 4), QStringList({"100 +", "30 =", "130 *", "1 +"}));
    QCOMPARE(desk.tape.grandTotalCents(), total + 1000);
    desk.tape.flush();
    QCOMPARE(desk.tape.lines().size(), 20'000);
}

void TestJournal::correctionDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sign");
    QTest::addColumn<QString>("digits"); // "!" for refused
    QTest::newRow("digits") << "007" << true << "007";
    QTest::newRow("comma") << "12,50" << true << "12.50";
    QTest::newRow("point") << " 12.5 " << false << "12.5";
    QTest::newRow("two marks") << "1,2.3" << true << "!";
    QTest::newRow("pasted") << "1 234,56 €" << true << "1234.56";
    QTest::newRow("pasted negative") << "-5" << true << "-5";
    QTest::newRow("no sign in a field") << "-5" << false << "!";
    QTest::newRow("words") << "douze" << true << "!";
    QTest::newRow("empty") << "" << true << "!";
}

void TestJournal::correctionDigits()
{
    QFETCH(QString, text);
    QFETCH(bool, sign);
    QFETCH(QString, digits);
    const auto read = tape::correctionDigits(text, QLatin1Char(','), sign);
    QCOMPARE(read.value_or(QStringLiteral("!")), digits);
}

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
