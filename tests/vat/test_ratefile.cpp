// The rate file: its reading rules, its exact bytes, the atomic replace and the per-user fallback.

#include "vat/ratefile.h"

#include "filebytes.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vat;

Q_DECLARE_METATYPE(vat::Rate)

namespace {

const auto writeBytes = &filebytes::write;
const auto readBytes = &filebytes::read;

// A text as a UTF-16 editor saves it (a leading U+FEFF is its byte order mark).
QByteArray utf16(QStringConverter::Encoding encoding, const char16_t *text)
{
    QStringEncoder encoder(encoding);
    return encoder(QString::fromUtf16(text));
}

} // namespace

class TestRateFile : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("firstIsNumber");
        QTest::addColumn<double>("firstNumber");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QString>("second");

        QTest::newRow("usual rates")
            << QByteArray("19.6\r\n5.5\r\n") << true << true << 19.6 << "19,6"
            << "5.5";
        QTest::newRow("first shorter") << QByteArray("7\r\n19.6\r\n") << true << true << 7.0 << "7"
                                       << "19.6";
        QTest::newRow("first longer")
            << QByteArray("19.6\r\n7\r\n") << true << true << 19.6 << "19,6"
            << "7";
        QTest::newRow("trailing zeros")
            << QByteArray("19.60\r\n5.50\r\n") << true << true << 19.6 << "19,6"
            << "5.50";
        QTest::newRow("leading zero and trailing point")
            << QByteArray("019.60\r\n5.\r\n") << true << true << 19.6 << "19,6"
            << "5.";
        QTest::newRow("third line ignored")
            << QByteArray("19.6\r\n5.5\r\n7\r\n") << true << true << 19.6 << "19,6"
            << "5.5";
        QTest::newRow("comma splits line 1")
            << QByteArray("19,6\r\n5.5\r\n") << true << true << 19.0 << "19"
            << "6";
        QTest::newRow("two fields on one line")
            << QByteArray("20,5.5\r\n") << true << true << 20.0 << "20"
            << "5.5";
        QTest::newRow("quoted fields")
            << QByteArray("\"19.6\"\r\n\"5.5\"\r\n") << true << true << 19.6 << "19,6"
            << "5.5";
        QTest::newRow("quoted comma stays in field")
            << QByteArray("\"19,6\"\r\n\" 5,5 \"\r\n") << true << false << 0.0 << "19,6"
            << " 5,5 ";
        QTest::newRow("text after closing quote dropped")
            << QByteArray("\"7\"x,\"8\"y\r\n") << true << true << 7.0 << "7"
            << "8";
        QTest::newRow("LF line ends") << QByteArray("19.6\n5.5\n") << true << true << 19.6 << "19,6"
                                      << "5.5";
        QTest::newRow("CR line ends") << QByteArray("19.6\r5.5\r") << true << true << 19.6 << "19,6"
                                      << "5.5";
        QTest::newRow("no final line end")
            << QByteArray("19.6\r\n5.5") << true << true << 19.6 << "19,6"
            << "5.5";
        QTest::newRow("leading blanks skipped")
            << QByteArray("  19.6\r\n\t 5.5\r\n") << true << true << 19.6 << "19,6"
            << "5.5";
        QTest::newRow("byte order mark of a text editor") << QByteArray("\xEF\xBB\xBF"
                                                                        "19.6\r\n5.5\r\n")
                                                          << true << true << 19.6 << "19,6"
                                                          << "5.5";
        // Notepad's "Unicode": UTF-16 with its mark, and the same without one.
        QTest::newRow("UTF-16 little endian")
            << utf16(QStringConverter::Utf16LE, u"\uFEFF19.6\r\n5.5\r\n") << true << true << 19.6
            << "19,6"
            << "5.5";
        QTest::newRow("UTF-16 big endian")
            << utf16(QStringConverter::Utf16BE, u"\uFEFF20\n7\n") << true << true << 20.0 << "20"
            << "7";
        QTest::newRow("UTF-16 without its mark")
            << utf16(QStringConverter::Utf16LE, u"20\r\n5.5\r\n") << true << true << 20.0 << "20"
            << "5.5";
        QTest::newRow("negative rate")
            << QByteArray("-100\r\n5.5\r\n") << true << true << -100.0 << "-100"
            << "5.5";
        QTest::newRow("letters stay text")
            << QByteArray("abc\r\n5.5\r\n") << true << false << 0.0 << "abc"
            << "5.5";
        QTest::newRow("two points stay text")
            << QByteArray("19.6.1\r\n5.5\r\n") << true << false << 0.0 << "19.6.1"
            << "5.5";
        QTest::newRow("number then letters stays text")
            << QByteArray("19.6%\r\n5.5\r\n") << true << false << 0.0 << "19.6%"
            << "5.5";

        QTest::newRow("empty file") << QByteArray() << false << false << 0.0 << ""
                                    << "";
        QTest::newRow("blank lines only") << QByteArray("  \r\n") << false << false << 0.0 << ""
                                          << "";
        QTest::newRow("one line") << QByteArray("19.6\r\n") << false << false << 0.0 << ""
                                  << "";
        QTest::newRow("one word") << QByteArray("abc") << false << false << 0.0 << ""
                                  << "";
        QTest::newRow("unclosed quote swallows the rest")
            << QByteArray("\"19.6\r\n5.5\r\n") << false << false << 0.0 << ""
            << "";
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(bool, firstIsNumber);
        QFETCH(double, firstNumber);
        QFETCH(QString, firstText);
        QFETCH(QString, second);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(dir.filePath("Taux.ini"), bytes));
        const RateFile file(dir.path(), dir.filePath("user"));

        const std::optional<RateFileContent> content = file.read();
        QCOMPARE(content.has_value(), readable);
        if (!readable)
            return;
        QCOMPARE(content->first.isNumber(), firstIsNumber);
        if (firstIsNumber)
            QCOMPARE(content->first.value(QLatin1Char(',')), std::optional<double>(firstNumber));
        QCOMPARE(content->first.text(QLatin1Char(',')), firstText);
        QCOMPARE(content->second, second);
    }

    // What a held rate gives back: a number as regional text, a text as it was written, and a
    // value only where there is a number to read.
    void heldRate_data()
    {
        QTest::addColumn<Rate>("rate");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasValue");
        QTest::addColumn<double>("value");

        QTest::newRow("no rate") << Rate() << true << "" << false << 0.0;
        QTest::newRow("number") << Rate::fromNumber(19.6) << false << "19,6" << true << 19.6;
        QTest::newRow("negative number")
            << Rate::fromNumber(-5.5) << false << "-5,5" << true << -5.5;
        QTest::newRow("text read") << Rate::fromText("19,6") << false << "19,6" << true << 19.6;
        QTest::newRow("text kept as written")
            << Rate::fromText(" 019.60") << false << " 019.60" << true << 19.6;
        QTest::newRow("text with a sign") << Rate::fromText("+7") << false << "+7" << true << 7.0;
        QTest::newRow("text not a number")
            << Rate::fromText("19,6 %") << false << "19,6 %" << false << 0.0;
        QTest::newRow("empty text") << Rate::fromText("") << false << "" << false << 0.0;
    }
    void heldRate()
    {
        QFETCH(Rate, rate);
        QFETCH(bool, empty);
        QFETCH(QString, text);
        QFETCH(bool, hasValue);
        QFETCH(double, value);

        QCOMPARE(rate.isEmpty(), empty);
        QCOMPARE(rate.text(QLatin1Char(',')), text);
        const std::optional<double> read = rate.value(QLatin1Char(','));
        QCOMPARE(read.has_value(), hasValue);
        if (hasValue)
            QCOMPARE(*read, value);
    }

    void veryLongLine()
    {
        const QByteArray digits(200000, '1');
        const auto content = parseRateFile(digits + "\r\n5.5\r\n");
        QVERIFY(content.has_value());
        // Too large for a number: kept as the text it is rather than read as infinity.
        QVERIFY(!content->first.isNumber());
        QCOMPARE(content->first.text(QLatin1Char(',')).size(), digits.size());
        QCOMPARE(content->second, QStringLiteral("5.5"));

        const auto longSecond = parseRateFile("20\r\n" + digits);
        QVERIFY(longSecond.has_value());
        QCOMPARE(longSecond->second.size(), digits.size());
    }

    void missingFile()
    {
        QTemporaryDir dir;
        QVERIFY(!RateFile(dir.path(), dir.filePath("user")).read().has_value());
        QVERIFY(!RateFile(dir.filePath("absent"), QString()).read().has_value());
    }

    void exactBytes_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("usual") << "19.6"
                               << "5.5" << QByteArray("19.6\r\n5.5\r\n");
        QTest::newRow("as typed") << "019.60"
                                  << "5." << QByteArray("019.60\r\n5.\r\n");
        QTest::newRow("whole numbers") << "1000"
                                       << "1" << QByteArray("1000\r\n1\r\n");
    }
    void exactBytes()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QByteArray, bytes);
        QCOMPARE(formatRateFile(first, second), bytes);

        QTemporaryDir dir;
        const RateFile file(dir.path(), dir.filePath("user"));
        QVERIFY(file.write(first, second));
        QCOMPARE(readBytes(file.programFilePath()), bytes);
        QVERIFY(!QFile::exists(file.userFilePath()));
        // What the program writes, it reads back.
        const auto content = file.read();
        QVERIFY(content.has_value());
        QCOMPARE(content->second, second);
    }

    void writeReplacesWholeFile()
    {
        QTemporaryDir dir;
        const RateFile file(dir.path(), dir.filePath("user"));
        QVERIFY(writeBytes(file.programFilePath(), "19.600000\r\n5.500000\r\n7\r\n"));

#ifdef Q_OS_UNIX
        // A reader that opened the old file keeps seeing it whole: the new content arrived under
        // the name in one piece instead of being written over the old bytes. (Windows refuses to
        // replace a file another program holds open: there the rates go to the user's file.)
        QFile before(file.programFilePath());
        QVERIFY(before.open(QIODevice::ReadOnly));
#endif

        QVERIFY(file.write("20", "5.5"));
        QCOMPARE(readBytes(file.programFilePath()), QByteArray("20\r\n5.5\r\n"));
#ifdef Q_OS_UNIX
        QCOMPARE(before.readAll(), QByteArray("19.600000\r\n5.500000\r\n7\r\n"));
#endif
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Taux.ini"});
    }

    void unwritableProgramFolderFallsBackToUserFile()
    {
        QTemporaryDir dir;
        // A folder path through a regular file cannot be written, even by root.
        QVERIFY(writeBytes(dir.filePath("program"), "not a folder"));
        const RateFile file(dir.filePath("program/bin"), dir.filePath("config/tarvex"));

        QVERIFY(file.write("7", "19.6"));
        QCOMPARE(readBytes(file.userFilePath()), QByteArray("7\r\n19.6\r\n"));
        QCOMPARE(readBytes(dir.filePath("program")), QByteArray("not a folder"));

        const auto content = file.read();
        QVERIFY(content.has_value());
        QCOMPARE(content->first.value(QLatin1Char(',')), std::optional<double>(7.0));
        QCOMPARE(content->second, QStringLiteral("19.6"));
    }

    void userFileReadFirst_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QString>("expectedSecond");
        QTest::newRow("user file wins") << QByteArray("7\r\n2.1\r\n") << "2.1";
        QTest::newRow("unusable user file") << QByteArray("7") << "5.5";
        QTest::newRow("empty user file") << QByteArray() << "5.5";
    }
    void userFileReadFirst()
    {
        QFETCH(QByteArray, user);
        QFETCH(QString, expectedSecond);
        QTemporaryDir dir;
        const RateFile file(dir.path(), dir.filePath("user"));
        QVERIFY(writeBytes(file.programFilePath(), "20\r\n5.5\r\n"));
        QVERIFY(QDir().mkpath(dir.filePath("user")));
        QVERIFY(writeBytes(file.userFilePath(), user));

        const auto content = file.read();
        QVERIFY(content.has_value());
        QCOMPARE(content->second, expectedSecond);
    }

    void storingBesideProgramRetiresUserCopy()
    {
        QTemporaryDir dir;
        const RateFile file(dir.path(), dir.filePath("user"));
        QVERIFY(QDir().mkpath(dir.filePath("user")));
        QVERIFY(writeBytes(file.userFilePath(), "7\r\n2.1\r\n"));

        QVERIFY(file.write("20", "10"));
        QCOMPARE(readBytes(file.programFilePath()), QByteArray("20\r\n10\r\n"));
        const auto content = file.read();
        QVERIFY(content.has_value());
        QCOMPARE(content->second, QStringLiteral("10"));
    }

    void nowhereToWrite()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("file"), "x"));
        const RateFile file(dir.filePath("file/a"), dir.filePath("file/b"));
        QVERIFY(!file.write("20", "5.5"));
        QCOMPARE(readBytes(dir.filePath("file")), QByteArray("x"));
        QVERIFY(!file.read().has_value());
    }

#ifdef Q_OS_UNIX
    void failedWriteKeepsExistingFiles()
    {
        QTemporaryDir dir;
        const RateFile file(dir.path(), dir.filePath("user"));
        QVERIFY(writeBytes(file.programFilePath(), "20\r\n5.5\r\n"));
        QVERIFY(QDir().mkpath(dir.filePath("user")));
        QVERIFY(writeBytes(file.userFilePath(), "7\r\n2.1\r\n"));

        // A disk that fills up after 3 bytes: no file may be written past that size.
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 3;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = file.write("19.6", "5.5");
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!written);
        QCOMPARE(readBytes(file.programFilePath()), QByteArray("20\r\n5.5\r\n"));
        QCOMPARE(readBytes(file.userFilePath()), QByteArray("7\r\n2.1\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Taux.ini"});
        QCOMPARE(QDir(dir.filePath("user")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Taux.ini"});
    }
#endif
};

QTEST_GUILESS_MAIN(TestRateFile)
#include "test_ratefile.moc"
