// Corrections kept in the tape file: the next run shows the corrected values, the former amounts
// and the same grand total, and can go on correcting; a crash between two corrections leaves the
// tape as it was before the second or after it, never a mix; a file written before calculations
// were kept shows as it was, read-only; trimming keeps the journal and its corrections.

#include "journaldesk.h"
#include "tape/localtime.h"
#include "tape/tapefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString tapePath(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("ruban.txt"));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestJournalFile : public QObject
{
    Q_OBJECT

private slots:
    void nextRunShowsCorrections();
    void crashBetweenCorrections();
    void oldFileIsReadOnly();
    void trimmingKeepsCorrections();
};

void TestJournalFile::nextRunShowsCorrections()
{
    QTemporaryDir dir;
    {
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("100+20=+5=100T"));
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 =")), "30").done);
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("100 HT")), "200").done);
    }
    const QStringList corrected{
        "100 +", "30 =", "130 *", "130 +", "5 =", "135 *", "200 HT", "TVA 20 % 40", "240 TTC"};
    {
        JournalDesk next(dir.path());
        next.tape.load();
        QCOMPARE(next.texts(), corrected);
        QCOMPARE(next.tape.grandTotalCents(), qint64(50500));
        QCOMPARE(next.tape.lines()[1].former, QStringLiteral("20"));
        QCOMPARE(next.tape.lines()[6].former, QStringLiteral("100"));
        // Still correctable, and the chain still follows.
        QVERIFY(next.journal.correctAmount(1, "10").done);
        QCOMPARE(next.texts().mid(2, 4), QStringList({"110 *", "110 +", "5 =", "115 *"}));
        QCOMPARE(next.tape.lines()[1].former, QStringLiteral("20"));
    }
    JournalDesk third(dir.path());
    third.tape.load();
    QCOMPARE(third.tape.grandTotalCents(), qint64(46500));
}

void TestJournalFile::crashBetweenCorrections()
{
    QTemporaryDir dir;
    qsizetype before = 0;
    {
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("100+20+30="));
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 +")), "25").done);
        // The record is written once the correction is shown, as the event loop goes on.
        desk.tape.flush();
        before = readAll(tapePath(dir)).size();
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("25 +")), "26").done);
    }
    const QByteArray whole = readAll(tapePath(dir));
    QVERIFY(whole.size() > before + 20);
    // The process killed at any byte of the second correction's write.
    for (qsizetype cut = before; cut <= whole.size(); ++cut) {
        QTemporaryDir crashed;
        writeAll(tapePath(crashed), whole.left(cut));
        JournalDesk next(crashed.path());
        next.tape.load();
        const bool after = cut == whole.size();
        QCOMPARE(next.tape.grandTotalCents(), after ? qint64(15600) : qint64(15500));
        QCOMPARE(next.texts()[1], after ? QStringLiteral("26 +") : QStringLiteral("25 +"));
        QCOMPARE(next.tape.lines()[1].former, QStringLiteral("20"));
        if (cut == before + 30) {
            // The next run goes on correcting past the torn record.
            QVERIFY(next.journal.correctAmount(1, "27").done);
            next.tape.flush();
            JournalDesk again(crashed.path());
            again.tape.load();
            QCOMPARE(again.tape.grandTotalCents(), qint64(15700));
        }
    }
}

void TestJournalFile::oldFileIsReadOnly()
{
    QTemporaryDir dir;
    const QDateTime now = tape::localNow();
    const QList<tape::Line> old{
        {now, {}, "100", "+"}, {now, {}, "20", "="}, {now, {}, "120", "*", true, true}};
    QByteArray bytes;
    for (const tape::Line &line : old)
        bytes += tape::lineRecord(line);
    writeAll(tapePath(dir), bytes);

    JournalDesk desk(dir.path());
    desk.tape.load();
    QCOMPARE(desk.texts(), QStringList({"100 +", "20 =", "120 *"}));
    QCOMPARE(desk.tape.grandTotalCents(), qint64(12000));
    QCOMPARE(desk.journal.refusal(0),
             QStringLiteral("Ce calcul a été enregistré par une version précédente : il ne peut "
                            "pas être corrigé."));
    QVERIFY(!desk.journal.correctAmount(1, "30").done);
    // What this run adds after it can be corrected.
    desk.type(QStringLiteral("5+5="));
    QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("5 =")), "6").done);
    QCOMPARE(desk.tape.grandTotalCents(), qint64(13100));
}

void TestJournalFile::trimmingKeepsCorrections()
{
    QTemporaryDir dir;
    // Lines older than the kept days, from an earlier version, before this run's calculations.
    QByteArray old;
    const QDateTime longAgo = tape::localNow().addDays(-40);
    old += tape::lineRecord({longAgo, {}, "7", "*", true, true});
    writeAll(tapePath(dir), old);
    {
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("100+20=+5="));
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 =")), "30").done);
    }
    for (int run = 0; run < 2; ++run) {
        JournalDesk next(dir.path());
        next.tape.load(); // the first load trims the old line and rewrites the file
        QCOMPARE(next.texts(), QStringList({"100 +", "30 =", "130 *", "130 +", "5 =", "135 *"}));
        QCOMPARE(next.tape.grandTotalCents(), qint64(700 + 26500));
        QVERIFY(next.journal.isCorrectable(1));
    }
    QVERIFY(!readAll(tapePath(dir)).contains("\t7\t"));
}

QTEST_GUILESS_MAIN(TestJournalFile)
#include "test_journalfile.moc"
