// The journal under a random stream of keys, VAT keys, rate switches, pastes, margin and
// price-change computations: every calculation worked again gives the very lines it wrote and
// the same grand total in cents; random corrections keep that true, undoing them all gives the
// tape back to the cent, and the file read by the next run shows the same tape.

#include "journaldesk.h"
#include "tape/cents.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

qint64 cents(const QList<tape::Line> &lines)
{
    qint64 total = 0;
    for (const tape::Line &l : lines)
        if (l.total)
            total = tape::addCents(total, tape::amountCents(l.amount));
    return total;
}

// Every calculation that can be corrected gives its lines again; the totals add up to the tape's.
void checkReplay(const tape::Journal &journal, const tape::Tape &tape, int *checked = nullptr)
{
    qint64 total = 0;
    int count = 0;
    for (const qint64 id : journal.calculations()) {
        const QList<tape::Line> replayed = journal.replay(id);
        if (journal.readOnly(id).isEmpty()) {
            QCOMPARE(replayed, journal.linesOf(id));
            QVERIFY(journal.startsWhereItWentOn(id));
            ++count;
        }
        total = tape::addCents(total, cents(journal.linesOf(id)));
    }
    QCOMPARE(total, tape.grandTotalCents());
    if (checked)
        *checked = count;
}

void randomEvent(JournalDesk &desk, QRandomGenerator &random)
{
    static const calc::Operation operations[] = {calc::Division, calc::Multiplication,
                                                 calc::Addition, calc::Subtraction};
    static const QString typed = QStringLiteral("0123456789,.+-*/%=a ");
    static const QString rates[] = {QStringLiteral("20"), QStringLiteral("5,5")};
    static const QString prices[] = {QStringLiteral("12,50"), QStringLiteral("1 234,56 €"),
                                     QStringLiteral("-7"), QStringLiteral("0.5")};
    calc::CalculatorEngine &e = desk.engine;
    const int pick = random.bounded(1000);
    const int arg = random.bounded(1000);
    if (pick < 300)
        e.digit(arg % 10);
    else if (pick < 350)
        e.decimalPoint();
    else if (pick < 370)
        e.clear();
    else if (pick < 490)
        e.operatorKey(operations[arg % 4]);
    else if (pick < 530)
        e.percent();
    else if (pick < 630)
        e.equals();
    else if (pick < 780)
        e.keyPress(typed[arg % typed.size()]);
    else if (pick < 795)
        e.deleteKey();
    else if (pick < 815)
        e.evaluatePending();
    else if (pick < 940) {
        vat::VatStep step;
        const auto key = vat::VatKey(arg % 4);
        if (vat::applyVatKey(e, key, rates[arg / 4 % 2], &step))
            desk.journal.vatKeyDone(tape::VatKind(key), rates[arg / 4 % 2], step, e);
    } else if (pick < 955) {
        if (const auto price = calc::readPastedPrice(prices[arg % 4], e.regionalMark()))
            e.pasteOperand(*price);
    } else if (pick < 965) {
        desk.journal.rateSwitched(rates[arg % 2]);
    } else if (pick < 985) {
        tape::Journal::MarginDone done;
        done.setup.mode = margin::Mode(arg % 5);
        done.setup.given = margin::GivenPrice(arg / 5 % 3);
        done.setup.purchaseWithVat = arg / 15 % 2;
        done.setup.sellingWithVat = arg / 30 % 2;
        done.firstRate = 20.0;
        for (std::size_t f = 0; f < margin::FieldCount; ++f)
            done.typed[f] = random.bounded(3) ? QString::number(random.bounded(200)) : QString();
        desk.journal.marginCalculated(done);
    } else if (pick < 995) {
        desk.journal.priceChangeCalculated({bool(arg % 2), bool(arg / 2 % 2), QString::number(arg),
                                            QString::number(arg / 3), QString::number(arg % 50)});
    } else {
        for (int n = 0; n < 20 + arg % 40; ++n)
            e.digit(9);
    }
}

} // namespace

class TestJournalRandom : public QObject
{
    Q_OBJECT

private slots:
    void replayGivesTheSameTape_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {7u, 2026u, 1208u, 99u, 4242u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    // Five streams of 20 000 events: 100 000 in all.
    void replayGivesTheSameTape()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        QStringList corrected;
        qint64 correctedTotal = 0;
        {
            JournalDesk desk(dir.path());
            for (int i = 0; i < 20'000; ++i)
                randomEvent(desk, random);
            int checked = 0;
            checkReplay(desk.journal, desk.tape, &checked);
            QVERIFY2(checked > 2000,
                     qPrintable(QString::number(checked) + u'/' +
                                QString::number(desk.journal.calculations().size())));
            const QStringList before = desk.texts();
            const qint64 total = desk.tape.grandTotalCents();

            // Random corrections anywhere on the tape.
            int done = 0;
            for (int n = 0; n < 400 && done < 60; ++n) {
                const qsizetype row = random.bounded(int(desk.tape.lines().size()));
                if (!desk.journal.isCorrectable(row))
                    continue;
                const int what = random.bounded(4);
                const QString amount = QString::number(random.bounded(500)) + QStringLiteral(",5");
                const bool ok = what == 0   ? desk.journal.correctAmount(row, amount).done
                                : what == 1 ? desk.journal.removeEntry(row).done
                                : what == 2
                                    ? desk.journal.insertEntry(row, amount).done
                                    : desk.journal.changeOperator(row, calc::Subtraction).done;
                done += ok;
                if (ok && done % 20 == 0)
                    checkReplay(desk.journal, desk.tape);
            }
            QVERIFY(done >= 40);
            checkReplay(desk.journal, desk.tape);
            corrected = desk.texts();
            correctedTotal = desk.tape.grandTotalCents();
            while (desk.journal.canUndo())
                QVERIFY(desk.journal.undo().done);
            QCOMPARE(desk.texts(), before);
            QCOMPARE(desk.tape.grandTotalCents(), total);
            while (desk.journal.canRedo())
                QVERIFY(desk.journal.redo().done);
            QCOMPARE(desk.tape.grandTotalCents(), correctedTotal);
        }
        // The next run reads the same tape back, corrections and all.
        JournalDesk next(dir.path());
        next.tape.load();
        QCOMPARE(next.texts(), corrected);
        QCOMPARE(next.tape.grandTotalCents(), correctedTotal);
        checkReplay(next.journal, next.tape);
    }
};

QTEST_GUILESS_MAIN(TestJournalRandom)
#include "test_journal_random.moc"
