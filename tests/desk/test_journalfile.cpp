// Corrections kept in the tape file: the next run shows the corrected values, the former amounts
// and the same grand total, and can go on correcting; a crash between two corrections leaves the
// tape as it was before the second or after it, never a mix; a file written before calculations
// were kept shows as it was, read-only; trimming keeps the journal and its corrections.

#include "calculator/engine.h"
#include "desk/replay.h"
#include "journaldesk.h"
#include "tape/localtime.h"
#include "tape/tapefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<calc::Switches>)

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

// The tape Tarvex 3.1 wrote (ruban-3.1.txt, as it left the disk), its times moved to now so that
// no trim drops it: each record sealed again with its CRC-32.
QByteArray tapeOf31()
{
    QByteArray bytes = readAll(QFINDTESTDATA("ruban-3.1.txt"));
    bytes.replace("179677593979", QByteArray::number(QDateTime::currentMSecsSinceEpoch() / 10));
    QByteArray out;
    for (const QByteArray &record : bytes.split('\n')) {
        if (record.isEmpty())
            continue;
        const QByteArray body = record.left(record.lastIndexOf('\t'));
        quint32 crc = 0xFFFFFFFFu;
        for (const char b : body) {
            crc ^= quint8(b);
            for (int k = 0; k < 8; ++k)
                crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        out += body + '\t' + QByteArray::number(~crc, 16).rightJustified(8, '0') + '\n';
    }
    return out;
}

// The file written again from what it holds, the first lines made older by the given days, as
// if they had been keyed then.
QByteArray rewritten(const tape::TapeContents &contents, qsizetype aged = 0, int days = 0)
{
    QByteArray bytes;
    qsizetype next = 0;
    for (qsizetype i = 0; i <= contents.lines.size(); ++i) {
        for (; next < contents.journal.size() && contents.journal[next].line <= i; ++next)
            bytes += tape::journalRecord(contents.journal[next]);
        if (i < contents.lines.size()) {
            tape::Line line = contents.lines[i];
            if (i < aged)
                line.time = line.time.addDays(-days);
            bytes += tape::lineRecord(line);
        }
    }
    return bytes;
}

} // namespace

class TestJournalFile : public QObject
{
    Q_OBJECT

private slots:
    void nextRunShowsCorrections();
    void crashBetweenCorrections_data();
    void crashBetweenCorrections();
    void oldFileIsReadOnly();
    void trimmingKeepsCorrections();
    void tapeOf31WithDecimals();
    void switchesRecord_data();
    void switchesRecord();
    void recordKeepsItsSize();
    void earlierRecordIsRead();
    void trimmingKeepsChainsWhole_data();
    void trimmingKeepsChainsWhole();
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

void TestJournalFile::crashBetweenCorrections_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<qint64>("before");
    QTest::addColumn<qint64>("after");
    QTest::addColumn<qint64>("again");
    QTest::addColumn<QString>("lastBefore");
    QTest::addColumn<QString>("lastAfter");
    QTest::newRow("one calculation")
        << "100+20+30=" << qint64(15500) << qint64(15600) << qint64(15700) << "155 *"
        << "156 *";
    // The record names the corrected calculation alone: the two that went on from it are
    // worked again from it on reading.
    QTest::newRow("a chain") << "100+20+30=+5=+5=" << qint64(48000) << qint64(48300)
                             << qint64(48600) << "165 *"
                             << "166 *";
}

void TestJournalFile::crashBetweenCorrections()
{
    QFETCH(QString, keys);
    QFETCH(qint64, before);
    QFETCH(qint64, after);
    QFETCH(qint64, again);
    QFETCH(QString, lastBefore);
    QFETCH(QString, lastAfter);
    QTemporaryDir dir;
    qsizetype written = 0;
    {
        JournalDesk desk(dir.path());
        desk.type(keys);
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 +")), "25").done);
        // The record is written once the correction is shown, as the event loop goes on.
        desk.tape.flush();
        written = readAll(tapePath(dir)).size();
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("25 +")), "26").done);
    }
    const QByteArray whole = readAll(tapePath(dir));
    QVERIFY(whole.size() > written + 20);
    // The process killed at any byte of the second correction's write.
    for (qsizetype cut = written; cut <= whole.size(); ++cut) {
        QTemporaryDir crashed;
        writeAll(tapePath(crashed), whole.left(cut));
        JournalDesk next(crashed.path());
        next.tape.load();
        const bool done = cut == whole.size();
        QCOMPARE(next.tape.grandTotalCents(), done ? after : before);
        QCOMPARE(next.texts()[1], done ? QStringLiteral("26 +") : QStringLiteral("25 +"));
        QCOMPARE(next.texts().last(), done ? lastAfter : lastBefore);
        QCOMPARE(next.tape.lines()[1].former, QStringLiteral("20"));
        if (cut == written + 30) {
            // The next run goes on correcting past the torn record.
            QVERIFY(next.journal.correctAmount(1, "27").done);
            next.tape.flush();
            JournalDesk third(crashed.path());
            third.tape.load();
            QCOMPARE(third.tape.grandTotalCents(), again);
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

void TestJournalFile::tapeOf31WithDecimals()
{
    // Keyed in 3.1 with 2 decimals (the last calculation with 0) and "5/4", which went to the
    // even digit: 1/8=+0,005=, 0,625 TVA (corrected there into 0,825), 0,1+25%=, C2,5+0=.
    const QStringList shown{"1 ÷",      "8 =",           "0,12 *",   "0,12 +", "0,005 =", "0,12 *",
                            "0,825 HT", "TVA 20 % 0,16", "0,16 TVA", "0,1 +",  "25 %",    "0,12 *",
                            "0 C",      "2,5 +",         "0 =",      "2 *"};
    QTemporaryDir dir;
    writeAll(tapePath(dir), tapeOf31());
    {
        JournalDesk desk(dir.path());
        desk.tape.load();
        QCOMPARE(desk.texts(), shown);
        QCOMPARE(desk.tape.grandTotalCents(), qint64(252));
        // Worked again as they were made, they can be corrected, by the rule they were made with:
        // 0,12 + 0,025 = 0,145 gives 0,14.
        for (const char *keyed : {"0,005 =", "0,825 HT", "0,1 +", "2,5 +"})
            QVERIFY2(desk.journal.isCorrectable(desk.row(keyed)), keyed);
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("0,005 =")), "0,025").done);
        QCOMPARE(desk.texts()[5], QStringLiteral("0,14 *"));
        // A calculation of this version goes away from zero; the tape, the copy and the grand
        // total follow.
        desk.engine.setSwitches({calc::Decimals::Two, calc::Rounding::Nearest});
        desk.type(QStringLiteral("1/8="));
        QCOMPARE(desk.texts().last(), QStringLiteral("0,13 *"));
        QCOMPARE(desk.engine.copiedText(), QStringLiteral("0,13"));
        QCOMPARE(desk.tape.grandTotalCents(), qint64(252 + 2 + 13));
    }
    // Each rule is read back with its calculation.
    JournalDesk next(dir.path());
    next.tape.load();
    QCOMPARE(next.texts().mid(3, 3), QStringList({"0,12 +", "0,025 =", "0,14 *"}));
    QCOMPARE(next.texts().mid(16), QStringList({"1 ÷", "8 =", "0,13 *"}));
    QCOMPARE(next.tape.grandTotalCents(), qint64(267));
    QVERIFY(next.journal.isCorrectable(next.row(QStringLiteral("0,025 ="))));
    QVERIFY(next.journal.correctAmount(next.row(QStringLiteral("8 =")), "40").done);
    QCOMPARE(next.texts().last(), QStringLiteral("0,03 *"));
}

void TestJournalFile::switchesRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<calc::Switches>>("switches");
    using calc::Decimals, calc::Rounding, calc::PriceEnding;
    const auto row = [](const char *text, std::optional<calc::Switches> switches) {
        QTest::newRow(text) << QString::fromLatin1(text) << switches;
    };
    row("", calc::Switches{});
    row("3.0.0", calc::Switches{Decimals::Two, Rounding::NearestEven});
    row("3.0.0.1", calc::Switches{Decimals::Two, Rounding::Nearest});
    row("3.0.1", calc::Switches{Decimals::Two, Rounding::NearestEven, PriceEnding::Ninety});
    row("6.0.1.1", calc::Switches{Decimals::Add2, Rounding::Nearest, PriceEnding::Ninety});
    row("0.0.4", calc::Switches{Decimals::Floating, Rounding::Nearest, PriceEnding::WholeEuro});
    row("1.1.0", calc::Switches{Decimals::Zero, Rounding::Up});
    row("1.1.0.1", std::nullopt);
    row("0.0.4.1", std::nullopt);
    row("3.0.0.2", std::nullopt);
    row("3.3.0", std::nullopt);
}

void TestJournalFile::switchesRecord()
{
    // A calculation's switches in its record: "5/4" with fixed decimals says it goes away from
    // zero; without that, as 3.1 wrote it, it goes to the even digit.
    QFETCH(QString, text);
    QFETCH(std::optional<calc::Switches>, switches);
    QVERIFY(tape::switchesFromText(text) == switches);
    if (switches)
        QCOMPARE(tape::switchesText(*switches), text);
}

void TestJournalFile::recordKeepsItsSize()
{
    QList<qsizetype> sizes;
    for (const int chained : {2, 400}) {
        QTemporaryDir dir;
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("1+1="));
        for (int i = 0; i < chained; ++i)
            desk.type(QStringLiteral("+1="));
        desk.tape.flush();
        const qsizetype before = readAll(tapePath(dir)).size();
        QVERIFY(desk.journal.correctAmount(0, "5").done);
        desk.tape.flush();
        sizes << readAll(tapePath(dir)).size() - before;
        JournalDesk next(dir.path());
        next.tape.load();
        QCOMPARE(next.texts().last(), QStringLiteral("%1 *").arg(6 + chained));
        QCOMPARE(next.texts(), desk.texts());
        QCOMPARE(next.tape.grandTotalCents(), desk.tape.grandTotalCents());
    }
    // Only the digits of the change to the grand total differ, and those of the block's check,
    // written in hex without leading zeros over lines that carry the time they were keyed: up to
    // 7 more. The earlier form grew by about 60 bytes for each calculation of the chain.
    QVERIFY2(sizes[1] < sizes[0] + 16,
             qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
}

void TestJournalFile::earlierRecordIsRead()
{
    QTemporaryDir dir;
    qint64 second = 0;
    {
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("100+20=+5="));
        QVERIFY(desk.journal.correctAmount(desk.row(QStringLiteral("20 =")), "30").done);
        second = desk.tape.lines()[3].calculation;
    }
    // The record as earlier versions wrote it: every calculation it changed in the label, and
    // the new start of the second after the entries of the first.
    tape::TapeContents contents = tape::readTape(readAll(tapePath(dir)));
    calc::CalculatorEngine engine(QLatin1Char(','));
    for (const QChar c : QStringLiteral("100+30="))
        engine.keyPress(c);
    int corrections = 0;
    for (tape::JournalRecord &record : contents.journal) {
        if (record.kind != tape::JournalRecord::Correction)
            continue;
        QStringList words = tape::splitWords(record.payload);
        record.label = QStringLiteral("%1:1000 %2:1000").arg(words[0], QString::number(second, 16));
        words << QStringLiteral("1") << QString::number(second, 16)
              << tape::snapshotText({engine.state(), engine.display()});
        record.payload = tape::joinWords(words);
        ++corrections;
    }
    QCOMPARE(corrections, 1);
    writeAll(tapePath(dir), rewritten(contents));

    JournalDesk next(dir.path());
    next.tape.load();
    QCOMPARE(next.texts(), QStringList({"100 +", "30 =", "130 *", "130 +", "5 =", "135 *"}));
    QCOMPARE(next.tape.grandTotalCents(), qint64(26500));
    QVERIFY(next.journal.correctAmount(1, "40").done);
    QCOMPARE(next.texts().last(), QStringLiteral("145 *"));
}

void TestJournalFile::trimmingKeepsChainsWhole_data()
{
    QTest::addColumn<int>("aged");
    QTest::addColumn<QStringList>("kept");
    const QStringList all{"5 +", "1 =", "6 *", "6 +", "1 =", "7 *",
                          "7 +", "1 =", "8 *", "8 +", "1 =", "9 *"};
    // The calculations that went on from the corrected one are only worked again from it: while
    // the last of them is kept, the first stays however old.
    QTest::newRow("the corrected calculation too old") << 3 << all;
    QTest::newRow("all but the last too old") << 9 << all;
    QTest::newRow("all too old") << 12 << QStringList();
}

void TestJournalFile::trimmingKeepsChainsWhole()
{
    QFETCH(int, aged);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    {
        JournalDesk desk(dir.path());
        desk.type(QStringLiteral("1+1=+1=+1=+1="));
        QVERIFY(desk.journal.correctAmount(0, "5").done);
    }
    writeAll(tapePath(dir), rewritten(tape::readTape(readAll(tapePath(dir))), aged, 40));
    for (int run = 0; run < 2; ++run) {
        JournalDesk next(dir.path());
        next.tape.load(); // the first load trims and rewrites the file
        QCOMPARE(next.texts(), kept);
        // Whatever went, its results and the correction's change stay in the grand total.
        QCOMPARE(next.tape.grandTotalCents(), qint64(3000));
    }
}

QTEST_GUILESS_MAIN(TestJournalFile)
#include "test_journalfile.moc"
