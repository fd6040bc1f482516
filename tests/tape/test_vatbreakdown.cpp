// The VAT breakdown of a tape: what each VAT key's block contributes, rates mixed, the sums to the
// cent over many operations, the lines chosen, a tape of an earlier version, the texts handed out,
// and a desk with extra rates whose corrections the breakdown follows.

#include "desk/desk.h"
#include "tape/recorder.h"
#include "tape/vatbreakdown.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "filebytes.h"

using tape::Line;
using tape::VatBreakdown;
using tape::VatKind;
using tape::VatRow;

Q_DECLARE_METATYPE(tape::VatKind)

namespace {

const QChar comma(u',');

// A VAT key's block as the tape writes it: the amount given, "TVA <rate> %", the result shown.
QList<Line> block(VatKind kind, const QString &amount, const QString &rate, const QString &result,
                  qint64 calculation = 0)
{
    QList<Line> lines = tape::vatLines({kind, amount, amount.toDouble(), rate, result}, comma);
    for (Line &line : lines)
        line.calculation = calculation;
    return lines;
}

// A row as a table reads: rate, operations, HT, TVA, TTC in cents.
QList<qint64> row(const VatRow &r)
{
    return {std::llround(r.rate * 10), r.operations, r.htCents, r.vatCents, r.ttcCents};
}

QList<QList<qint64>> rows(const VatBreakdown &b)
{
    QList<QList<qint64>> out;
    for (const VatRow &r : b.rows)
        out.append(row(r));
    out.append({0, b.total.operations, b.total.htCents, b.total.vatCents, b.total.ttcCents});
    return out;
}

} // namespace

class TestVatBreakdown : public QObject
{
    Q_OBJECT

private slots:
    void oneKey_data()
    {
        QTest::addColumn<VatKind>("kind");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QList<qint64>>("expected"); // rate × 10, operations, HT, TVA, TTC
        QTest::newRow("100 TTC") << VatKind::TTC << "100"
                                 << "20"
                                 << "120" << QList<qint64>{200, 1, 10000, 2000, 12000};
        QTest::newRow("120 HT") << VatKind::HT << "120"
                                << "20"
                                << "100" << QList<qint64>{200, 1, 10000, 2000, 12000};
        QTest::newRow("100 TVA") << VatKind::TVA << "100"
                                 << "20"
                                 << "20" << QList<qint64>{200, 1, 10000, 2000, 12000};
        QTest::newRow("120 dont TVA") << VatKind::DontTVA << "120"
                                      << "20"
                                      << "20" << QList<qint64>{200, 1, 10000, 2000, 12000};
        QTest::newRow("10 HT at 5,5") << VatKind::HT << "10"
                                      << "5,5"
                                      << "9,48" << QList<qint64>{55, 1, 948, 52, 1000};
        QTest::newRow("10 dont TVA at 5,5") << VatKind::DontTVA << "10"
                                            << "5,5"
                                            << "0,52" << QList<qint64>{55, 1, 948, 52, 1000};
        QTest::newRow("19,6 of an old tape")
            << VatKind::TTC << "100"
            << "19,6"
            << "119,6" << QList<qint64>{196, 1, 10000, 1960, 11960};
        QTest::newRow("four decimals shown") << VatKind::TTC << "0.5"
                                             << "25"
                                             << "0,625" << QList<qint64>{250, 1, 50, 12, 62};
        QTest::newRow("negative") << VatKind::TTC << "-100"
                                  << "20"
                                  << "-120" << QList<qint64>{200, 1, -10000, -2000, -12000};
    }
    void oneKey()
    {
        QFETCH(VatKind, kind);
        QFETCH(QString, amount);
        QFETCH(QString, rate);
        QFETCH(QString, result);
        QFETCH(QList<qint64>, expected);
        const VatBreakdown b = tape::vatBreakdown(block(kind, amount, rate, result));
        QCOMPARE(b.rows.size(), 1);
        QCOMPARE(row(b.rows[0]), expected);
        QCOMPARE(b.total.htCents + b.total.vatCents, b.total.ttcCents);
    }

    void mixedRatesAndTheirOrder()
    {
        QList<Line> lines;
        lines += Line{{}, {}, "12", "+"};
        lines += block(VatKind::TTC, "30", "10", "33", 1);
        lines += block(VatKind::TTC, "100", "20", "120", 2);
        lines += tape::rateSwitchLine("5,5");
        lines += block(VatKind::TTC, "50", "5,5", "52,75", 3);
        lines += block(VatKind::HT, "22", "10", "20", 4);
        // Without an order, as they first occur; with the switch's, in its order.
        QCOMPARE(rows(tape::vatBreakdown(lines)),
                 (QList<QList<qint64>>{{100, 2, 5000, 500, 5500},
                                       {200, 1, 10000, 2000, 12000},
                                       {55, 1, 5000, 275, 5275},
                                       {0, 4, 20000, 2775, 22775}}));
        QCOMPARE(rows(tape::vatBreakdown(lines, {}, {"20", "5,50", "10", "2,1"})),
                 (QList<QList<qint64>>{{200, 1, 10000, 2000, 12000},
                                       {55, 1, 5000, 275, 5275},
                                       {100, 2, 5000, 500, 5500},
                                       {0, 4, 20000, 2775, 22775}}));
        // The lines chosen: a block counts when any of its lines is, once.
        QCOMPARE(rows(tape::vatBreakdown(lines, {5, 6, 7, 10})),
                 (QList<QList<qint64>>{{200, 1, 10000, 2000, 12000},
                                       {55, 1, 5000, 275, 5275},
                                       {0, 2, 15000, 2275, 17275}}));
        QCOMPARE(tape::vatBreakdown(lines, {0}).rows.size(), 0);
    }

    void notABlock_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QList<Line> split = block(VatKind::TTC, "100", "20", "120", 7);
        split[2].calculation = 8;
        QTest::newRow("lines of two calculations") << split;
        QTest::newRow("the result cut off") << block(VatKind::TTC, "100", "20", "120").mid(0, 2);
        QList<Line> unnamed = block(VatKind::TTC, "100", "20", "120");
        unnamed[1].label = "TVA %";
        QTest::newRow("no rate named") << unnamed;
        QTest::newRow("a rate switch") << QList<Line>{tape::rateSwitchLine("20")};
    }
    void notABlock()
    {
        QFETCH(QList<Line>, lines);
        const VatBreakdown b = tape::vatBreakdown(lines);
        QCOMPARE(b.rows.size(), 0);
        QCOMPARE(b.total, VatRow{});
    }

    void sumsToTheCent()
    {
        // Random VAT keys at the four rates, as the calculator works them: every row and the
        // totals add up, and the totals are the rows' sums.
        QRandomGenerator random(25);
        const QStringList rates{"20", "5,5", "10", "2,1"};
        QList<Line> lines;
        for (int i = 0; i < 10000; ++i) {
            calc::CalculatorEngine engine(comma);
            const int cents = random.bounded(1, 10'000'000);
            for (const QChar c :
                 QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0')))
                engine.keyPress(c);
            const QString rate = rates[random.bounded(4)];
            const auto key = vat::VatKey(random.bounded(4));
            vat::VatStep step;
            QVERIFY(vat::applyVatKey(engine, key, rate, &step));
            lines += tape::vatLines(
                {VatKind(int(key)), step.display, step.amount, rate, step.resultText}, comma);
        }
        const VatBreakdown b = tape::vatBreakdown(lines);
        QCOMPARE(b.rows.size(), 4);
        VatRow sum;
        for (const VatRow &r : b.rows) {
            QCOMPARE(r.htCents + r.vatCents, r.ttcCents);
            sum.operations += r.operations;
            sum.htCents += r.htCents;
            sum.vatCents += r.vatCents;
            sum.ttcCents += r.ttcCents;
        }
        QCOMPARE(b.total.operations, 10000);
        QCOMPARE(b.total, sum);
    }

    void copiedAndSaved()
    {
        QList<Line> lines = block(VatKind::TTC, "100", "20", "120");
        lines += block(VatKind::TTC, "50", "5,5", "52,75");
        const VatBreakdown b = tape::vatBreakdown(lines);
        QCOMPARE(tape::breakdownCopyText(b), "Taux (%)\tOpérations\tTotal HT\tTVA\tTotal TTC\n"
                                             "20\t1\t100,00\t20,00\t120,00\n"
                                             "5,5\t1\t50,00\t2,75\t52,75\n"
                                             "Total\t2\t150,00\t22,75\t172,75\n");
        QCOMPARE(tape::breakdownCsvFile(b),
                 QByteArray("\xEF\xBB\xBFtaux (%);opérations;total HT;TVA;total TTC\r\n"
                            "20;1;100,00;20,00;120,00\r\n"
                            "5,5;1;50,00;2,75;52,75\r\n"
                            "Total;2;150,00;22,75;172,75\r\n"));
    }

    void correctionMovesAnOperation()
    {
        QTemporaryDir dir;
        tape::Tape record(dir.path());
        record.append(block(VatKind::TTC, "100", "20", "120", 1));
        record.append(block(VatKind::TTC, "30", "20", "36", 2));
        record.replace({{3, 3, block(VatKind::TTC, "30", "10", "33", 2)}});
        QCOMPARE(rows(tape::vatBreakdown(record.lines())),
                 (QList<QList<qint64>>{{200, 1, 10000, 2000, 12000},
                                       {100, 1, 3000, 300, 3300},
                                       {0, 2, 13000, 2300, 15300}}));
    }

    void deskWithExtraRates()
    {
        QTemporaryDir dir;
        QVERIFY(filebytes::write(dir.filePath("Taux.ini"), "20\r\n5.5\r\n"));
        QVERIFY(filebytes::write(dir.filePath("AutresTaux.ini"), "10\r\n"));
        desk::Desk desk(comma, vat::RateFile(dir.path(), dir.filePath("user")), dir.path());
        desk.startUp();
        while (desk.convertingRates())
            desk.stepRateConversion();
        auto press = [&desk](const char *amount) {
            for (const char *c = amount; *c; ++c)
                desk.typeKey(QLatin1Char(*c));
            desk.vatKey(vat::VatKey::TTC);
        };
        press("100");
        desk.switchRate();
        press("50");
        desk.switchRate();
        press("30");
        const auto breakdown = [&desk] {
            return rows(tape::vatBreakdown(desk.tape().lines(), {}, desk.rates().all()));
        };
        QCOMPARE(breakdown(), (QList<QList<qint64>>{{200, 1, 10000, 2000, 12000},
                                                    {55, 1, 5000, 275, 5275},
                                                    {100, 1, 3000, 300, 3300},
                                                    {0, 3, 18000, 2575, 20575}}));
        // The 50 corrected into 60, then the 30 taken out of its calculation.
        const QList<Line> &lines = desk.tape().lines();
        const auto lineOf = [&lines](const QString &amount, const QString &mark) {
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (lines[i].amount == amount && lines[i].mark == mark)
                    return int(i);
            }
            return -1;
        };
        QVERIFY(desk.tapeEditing()->replaceAmount(lineOf("50", "HT"), "60"));
        QCOMPARE(breakdown()[1], (QList<qint64>{55, 1, 6000, 330, 6330}));
        QVERIFY(desk.tapeEditing()->removeEntry(lineOf("30", "HT")));
        QCOMPARE(breakdown(), (QList<QList<qint64>>{{200, 1, 10000, 2000, 12000},
                                                    {55, 1, 6000, 330, 6330},
                                                    {0, 2, 16000, 2330, 18330}}));
    }
};

QTEST_GUILESS_MAIN(TestVatBreakdown)
#include "test_vatbreakdown.moc"
