// The tape file and the grand total: what survives a crash, a foreign file, a second program
// writing at the same time, a folder that refuses writing, and thousands of cent amounts.

#include "tape/cents.h"
#include "tape/tape.h"
#include "tape/tapefile.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using tape::Line;
using tape::Tape;

namespace {

Line line(const QString &amount, const QString &mark, bool total = false, qint64 msecs = 0)
{
    const QDateTime time =
        msecs ? QDateTime::fromMSecsSinceEpoch(msecs)
              : QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() / 1000 * 1000);
    return Line{time, QString(), amount, mark, total, total};
}

QStringList amounts(const QList<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << l.amount + QLatin1Char(' ') + l.mark;
    return out;
}

QByteArray fileOf(const QTemporaryDir &dir)
{
    QFile file(dir.filePath(QStringLiteral("ruban.txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    QFile file(dir.filePath(QStringLiteral("ruban.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

constexpr int writtenBlocks = 300;

// The other program of twoProgramsAndARewrite(): a block of two lines per calculation. Halfway it
// says "half" and waits for "go", then says "going" just before its next append.
int writeAsAnotherProgram()
{
    const QString name = qEnvironmentVariable("TAPE_WRITER");
    Tape tape(qEnvironmentVariable("TAPE_FOLDER"));
    QTextStream in(stdin), out(stdout);
    for (int i = 0; i < writtenBlocks; ++i) {
        if (i == writtenBlocks / 2) {
            out << "half" << Qt::endl;
            if (in.readLine() != u"go")
                return 2;
            out << "going" << Qt::endl;
        }
        tape.append({line(QStringLiteral("%1%2-1").arg(name).arg(i), QStringLiteral("+")),
                     line(QStringLiteral("%1%2-2").arg(name).arg(i), QStringLiteral("="))});
        tape.flush();
    }
    return tape.problem().isEmpty() ? 0 : 1;
}

// The next line the process writes; empty when it ends first. The wait only bounds a hang.
QByteArray nextLine(QProcess *process)
{
    while (!process->canReadLine()) {
        if (!process->waitForReadyRead(120'000))
            return {};
    }
    return process->readLine().trimmed();
}

} // namespace

class TestTapeFile : public QObject
{
    Q_OBJECT

private slots:
    void readerSkipsDamage_data();
    void readerSkipsDamage();
    void fieldsRoundTrip();
    void reloadKeepsLinesAndTotal();
    void clearStartsAgain();
    void foreignFileIsSetAside();
    void unwritableFolderKeepsMemory();
    void twoWritersLoseNothing();
    void twoProgramsAndARewrite();
#ifdef Q_OS_WIN
    void heldTapeIsLeftWhole();
#endif
    void trimKeepsTheTotal();
    void grandTotalIsExact();
    void amountCents_data();
    void amountCents();
    void correctionLabels_data();
    void correctionLabels();
};

void TestTapeFile::readerSkipsDamage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    const QByteArray a = tape::lineRecord(line(QStringLiteral("100"), QStringLiteral("+")));
    const QByteArray b = tape::lineRecord(line(QStringLiteral("20"), QStringLiteral("=")));
    const QByteArray c = tape::lineRecord(line(QStringLiteral("120"), QStringLiteral("*"), true));
    const QStringList all{QStringLiteral("100 +"), QStringLiteral("20 ="), QStringLiteral("120 *")};
    QByteArray flipped = b;
    flipped[flipped.indexOf("20")] = '3';

    QTest::newRow("whole") << a + b + c << all;
    QTest::newRow("torn last line") << a + b + c.left(c.size() / 2) << all.mid(0, 2);
    QTest::newRow("last line without its line feed") << a + b + c.chopped(1) << all.mid(0, 2);
    // A crash tore b; the next program's append went on right after it.
    QTest::newRow("torn line glued to the next")
        << a + b.left(20) + c << QStringList{all[0], all[2]};
    // The block that was being written when the power went never reached the disk.
    QTest::newRow("zeros left by a power cut")
        << a + QByteArray(b.size(), '\0') + c << QStringList{all[0], all[2]};
    QTest::newRow("changed byte") << a + flipped + c << QStringList{all[0], all[2]};
    QTest::newRow("foreign lines between")
        << "hello\n" + a + "TVX1\tnonsense\n\n" + b + "\r\n" + c << all;
    QTest::newRow("start record drops what precedes")
        << a + tape::startRecord(0, 0) + b + c << all.mid(1);
}

void TestTapeFile::readerSkipsDamage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(amounts(tape::readTape(bytes).lines), expected);
}

void TestTapeFile::fieldsRoundTrip()
{
    const Line odd{QDateTime::fromMSecsSinceEpoch(1'765'000'000'123),
                   QStringLiteral("Prix\td'achat\\HT\névidé"),
                   QStringLiteral("80,00"),
                   QStringLiteral("TVX1\t"),
                   true,
                   false};
    const auto contents = tape::readTape(tape::lineRecord(odd) + tape::lineRecord(odd));
    QCOMPARE(contents.lines, (QList<Line>{odd, odd}));
}

void TestTapeFile::reloadKeepsLinesAndTotal()
{
    QTemporaryDir dir;
    {
        Tape first(dir.path());
        first.append({line(QStringLiteral("100"), QStringLiteral("+")),
                      line(QStringLiteral("20"), QStringLiteral("=")),
                      line(QStringLiteral("120"), QStringLiteral("*"), true)});
        first.append({line(QStringLiteral("0,1"), QStringLiteral("*"), true)});
    }
    Tape second(dir.path());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ruban.txt"))) || !second.isLoaded());
    second.append({line(QStringLiteral("5"), QStringLiteral("*"), true)});
    QCOMPARE(second.grandTotalCents(), 500);
    QSignalSpy reset(&second, &Tape::reset);
    second.load();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(amounts(second.lines()), (QStringList{"100 +", "20 =", "120 *", "0,1 *", "5 *"}));
    QCOMPARE(second.grandTotalCents(), 12'000 + 10 + 500);
    QVERIFY(second.problem().isEmpty());
}

void TestTapeFile::clearStartsAgain()
{
    QTemporaryDir dir;
    {
        Tape first(dir.path());
        first.append({line(QStringLiteral("7"), QStringLiteral("*"), true)});
        first.clear();
        QCOMPARE(first.grandTotalCents(), 0);
        first.append({line(QStringLiteral("2,5"), QStringLiteral("*"), true)});
    }
    Tape second(dir.path());
    second.load();
    QCOMPARE(amounts(second.lines()), QStringList{"2,5 *"});
    QCOMPARE(second.grandTotalCents(), 250);
}

void TestTapeFile::foreignFileIsSetAside()
{
    QTemporaryDir dir;
    writeFile(dir, "not a tape at all\n\x01\x02\n");
    Tape tape(dir.path());
    tape.append({line(QStringLiteral("3"), QStringLiteral("*"), true)});
    QSignalSpy problem(&tape, &Tape::problemChanged);
    tape.load();
    QCOMPARE(problem.size(), 1);
    QVERIFY(tape.problem().contains(QStringLiteral("mis de côté")));
    QCOMPARE(amounts(tape.lines()), QStringList{"3 *"});
    // The foreign file is kept under another name, and the new file holds this session's line.
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("ruban-illisible-*")});
    QCOMPARE(aside.size(), 1);
    QFile old(dir.filePath(aside[0]));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QVERIFY(old.readAll().startsWith("not a tape at all"));
    QCOMPARE(amounts(tape::readTape(fileOf(dir)).lines), QStringList{"3 *"});
}

void TestTapeFile::unwritableFolderKeepsMemory()
{
    // A folder below a plain file can be neither created nor written, whoever runs the test.
    QTemporaryDir dir;
    writeFile(dir, QByteArray());
    Tape tape(dir.filePath(QStringLiteral("ruban.txt/sous-dossier")));
    tape.append({line(QStringLiteral("4"), QStringLiteral("*"), true)});
    tape.flush();
    QVERIFY(tape.problem().contains(QStringLiteral("mémoire")));
    tape.append({line(QStringLiteral("6"), QStringLiteral("*"), true)});
    tape.load();
    QCOMPARE(amounts(tape.lines()), (QStringList{"4 *", "6 *"}));
    QCOMPARE(tape.grandTotalCents(), 1000);
    tape.clear();
    QVERIFY(tape.lines().isEmpty());
}

void TestTapeFile::twoWritersLoseNothing()
{
    // Two programs append in turns, each trimming the file once in the middle; every line
    // reaches the file whole, and each program's lines keep their order.
    QTemporaryDir dir;
    Tape a(dir.path()), b(dir.path());
    for (int i = 0; i < 200; ++i) {
        a.append({line(QStringLiteral("a%1").arg(i), QStringLiteral("+"))});
        b.append({line(QStringLiteral("b%1").arg(i), QStringLiteral("+"))});
        (i % 3 ? a : b).flush();
        if (i == 100)
            a.load();
    }
    a.flush();
    b.flush();
    const auto lines = tape::readTape(fileOf(dir)).lines;
    QStringList as, bs;
    for (const Line &l : lines)
        (l.amount.startsWith(u'a') ? as : bs) << l.amount;
    QCOMPARE(as.size(), 200);
    QCOMPARE(bs.size(), 200);
    for (int i = 0; i < 200; ++i) {
        QCOMPARE(as[i], QStringLiteral("a%1").arg(i));
        QCOMPARE(bs[i], QStringLiteral("b%1").arg(i));
    }
}

void TestTapeFile::twoProgramsAndARewrite()
{
    // Two programs append blocks of two lines while this one rewrites the file as a trim does:
    // no line is lost, none is doubled, and a block is never split.
    QTemporaryDir dir;
    QList<QProcess *> writers;
    for (const char *name : {"a", "b"}) {
        auto *writer = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAPE_WRITER"), QString::fromLatin1(name));
        env.insert(QStringLiteral("TAPE_FOLDER"), dir.path());
        writer->setProcessEnvironment(env);
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer->start(QCoreApplication::applicationFilePath(), {});
        writers << writer;
    }
    const auto trim = [](QByteArrayView current) {
        QByteArray bytes = tape::startRecord(0, 0);
        for (const Line &l : tape::readTape(current).lines)
            bytes += tape::lineRecord(l);
        return bytes;
    };
    tape::TapeFile file(dir.filePath(QStringLiteral("ruban.txt")));
    // Halfway, both hold open the file they appended to. It is replaced while they are told to
    // go on: each next append waits for the rewrite's lock or comes after it, and must find that
    // the name points to another file.
    for (QProcess *writer : writers)
        QCOMPARE(nextLine(writer), QByteArray("half"));
    bool going = true;
    QVERIFY(file.rewrite([&](QByteArrayView current) {
        for (QProcess *writer : writers) {
            writer->write("go\n");
            going = writer->waitForBytesWritten(120'000) && going;
        }
        for (QProcess *writer : writers)
            going = nextLine(writer) == "going" && going;
        return trim(current);
    }));
    QVERIFY(going);
    // Then more trims while they finish, as the two programs happen to meet: one every few
    // milliseconds is already far more than the program makes.
    const auto running = [&] {
        bool any = false;
        for (QProcess *p : writers)
            any = (p->state() != QProcess::NotRunning && !p->waitForFinished(3)) || any;
        return any;
    };
    while (running())
        QVERIFY(file.rewrite(trim));
    for (QProcess *writer : writers) {
        QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer->exitCode(), 0);
    }
    const auto lines = tape::readTape(fileOf(dir)).lines;
    QStringList as, bs;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &amount = lines[i].amount;
        if (amount.endsWith(QLatin1String("-1"))) {
            QVERIFY(i + 1 < lines.size());
            QCOMPARE(lines[i + 1].amount, amount.chopped(1) + u'2');
        }
        (amount.startsWith(u'a') ? as : bs) << amount;
    }
    QCOMPARE(as.size(), 2 * writtenBlocks);
    QCOMPARE(bs.size(), 2 * writtenBlocks);
    for (int i = 0; i < writtenBlocks; ++i) {
        QCOMPARE(as[2 * i], QStringLiteral("a%1-1").arg(i));
        QCOMPARE(bs[2 * i], QStringLiteral("b%1-1").arg(i));
    }
}

#ifdef Q_OS_WIN
void TestTapeFile::heldTapeIsLeftWhole()
{
    // Another program (a backup, a virus check) holds the tape and lets nobody read it: a rewrite
    // must fail and leave the file whole, never make it again from nothing.
    QTemporaryDir dir;
    writeFile(dir, "ligne\n");
    const QString path = QDir::toNativeSeparators(dir.filePath(QStringLiteral("ruban.txt")));
    const HANDLE held = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ,
                                    FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    tape::TapeFile file(dir.filePath(QStringLiteral("ruban.txt")));
    const bool rewritten =
        file.rewrite([](QByteArrayView old) { return old.toByteArray() + "de plus\n"; });
    CloseHandle(held);
    QVERIFY(!rewritten);
    QCOMPARE(fileOf(dir), QByteArray("ligne\n"));
}
#endif

void TestTapeFile::trimKeepsTheTotal()
{
    QTemporaryDir dir;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 day = 24 * 3600 * 1000;
    writeFile(
        dir,
        tape::lineRecord(line(QStringLiteral("1000"), QStringLiteral("*"), true, now - 40 * day)) +
            tape::lineRecord(line(QStringLiteral("1"), QStringLiteral("*"), true, now - 2 * day)));
    {
        Tape tape(dir.path());
        tape.load();
        QCOMPARE(amounts(tape.lines()), QStringList{"1 *"});
        QCOMPARE(tape.grandTotalCents(), 100'100);
    }
    Tape again(dir.path());
    again.load();
    QCOMPARE(again.grandTotalCents(), 100'100);
    QCOMPARE(tape::readTape(fileOf(dir)).records, 2);
}

void TestTapeFile::grandTotalIsExact()
{
    // 32 000 amounts of a few cents, the sum a double would drift on, on lines long enough for
    // the file to be trimmed to the kept 20 000 lines on the way: the total keeps every one.
    constexpr int amounts = 32'000;
    QTemporaryDir dir;
    Tape tape(dir.path());
    qint64 expected = 0;
    auto *random = QRandomGenerator::global();
    const QString label = QStringLiteral("Prix de vente HT d'un article au libellé assez long %1");
    for (int i = 0; i < amounts; ++i) {
        const qint64 cents = random->bounded(-99'999, 100'000);
        expected += cents;
        Line l = line(tape::centsText(cents, QLatin1Char(',')), QStringLiteral("*"), true);
        l.label = label.arg(i);
        tape.append({l});
        if (i % 500 == 0)
            tape.flush();
    }
    tape.append({line(QStringLiteral("0,1"), QStringLiteral("*"), true)});
    expected += 10;
    QCOMPARE(tape.grandTotalCents(), expected);
    QVERIFY(tape.lines().size() < amounts);
    QCOMPARE(tape.lines().last().amount, QStringLiteral("0,1"));
    tape.flush();
    QVERIFY(tape::readTape(fileOf(dir)).lines.size() < amounts);
    Tape reread(dir.path());
    reread.load();
    QCOMPARE(reread.lines().size(), 20'000);
    QCOMPARE(reread.lines().first().label, label.arg(amounts - 19'999));
    QCOMPARE(reread.grandTotalCents(), expected);
}

void TestTapeFile::amountCents_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("regional") << "119,6" << qint64(11'960);
    QTest::newRow("point") << " 2.5" << qint64(250);
    QTest::newRow("no zero before the point") << "-.5" << qint64(-50);
    QTest::newRow("half to even, down") << "0,125" << qint64(12);
    QTest::newRow("half to even, up") << "0,375" << qint64(38);
    QTest::newRow("above half") << "0,1251" << qint64(13);
    QTest::newRow("long fraction") << "3,33333333333333" << qint64(333);
    QTest::newRow("exponent") << " 1E+15" << qint64(100'000'000'000'000'000);
    QTest::newRow("beyond cents") << "1E+300" << std::numeric_limits<qint64>::max();
    QTest::newRow("no number") << "" << qint64(0);
}

void TestTapeFile::amountCents()
{
    QFETCH(QString, amount);
    QFETCH(qint64, cents);
    QCOMPARE(tape::amountCents(amount), cents);
}

void TestTapeFile::correctionLabels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("read");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("one calculation")
        << "1a:-250" << true << qint64(0x1a) << qint64(0x1a) << qint64(-250);
    QTest::newRow("a chain") << "1a:1000 2f" << true << qint64(0x1a) << qint64(0x2f)
                             << qint64(1000);
    // Earlier versions listed every calculation with its own change.
    QTest::newRow("earlier form") << "1a:1000 1b:1000 1c:-300" << true << qint64(0x1a)
                                  << qint64(0x1c) << qint64(1700);
    QTest::newRow("empty") << "" << false << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("no change") << "1a 2f" << false << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("words after the last")
        << "1a:5 2f 30" << false << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("not hex") << "zz:5" << false << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("bad cents") << "1a:5x" << false << qint64(0) << qint64(0) << qint64(0);
}

void TestTapeFile::correctionLabels()
{
    QFETCH(QString, label);
    QFETCH(bool, read);
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(qint64, cents);
    const auto span = tape::correctionSpan(label);
    QCOMPARE(bool(span), read);
    if (!span)
        return;
    QCOMPARE(*span, (tape::CorrectionSpan{first, last, cents}));
    QCOMPARE(tape::correctionSpan(tape::correctionLabel(*span)), span);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("TAPE_WRITER"))
        return writeAsAnotherProgram();
    TestTapeFile test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_tapefile.moc"
