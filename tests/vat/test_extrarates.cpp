// The extra rates: their file (beside Taux.ini, by the same folder rules) and the rate switch's
// order with two, three and four rates.

#include "vat/extrarates.h"

#include "filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vat;

namespace {

const QChar comma(u',');

using filebytes::read;
using filebytes::write;

} // namespace

class TestExtraRates : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("rates");
        QTest::newRow("two, CR LF") << QByteArray("10\r\n2.1\r\n") << QStringList{"10", "2.1"};
        QTest::newRow("LF only") << QByteArray("10\n2.1\n") << QStringList{"10", "2.1"};
        QTest::newRow("no last line end") << QByteArray("10\r\n2.1") << QStringList{"10", "2.1"};
        QTest::newRow("one") << QByteArray("10\r\n") << QStringList{"10"};
        QTest::newRow("as typed") << QByteArray("010.50\r\n5.\r\n") << QStringList{"010.50", "5."};
        QTest::newRow("a later field")
            << QByteArray("10;Restauration\r\n2.1;Presse\r\n") << QStringList{"10", "2.1"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("blank lines") << QByteArray("\r\n\r\n") << QStringList{};
        QTest::newRow("a gap") << QByteArray("\r\n10\r\n") << QStringList{};
        QTest::newRow("three rates") << QByteArray("10\r\n2.1\r\n7\r\n") << QStringList{};
        QTest::newRow("decimal comma") << QByteArray("10,5\r\n") << QStringList{};
        QTest::newRow("two points") << QByteArray("1.0.5\r\n") << QStringList{};
        QTest::newRow("negative") << QByteArray("-10\r\n") << QStringList{};
        QTest::newRow("garbage") << QByteArray("[Taux]\r\nTaux3=10\r\n") << QStringList{};
        QTest::newRow("binary") << QByteArray("\x00\xff\x10", 3) << QStringList{};
        QTest::newRow("too long") << QByteArray(2000, '1') << QStringList{};
        QTest::newRow("long with later fields")
            << QByteArray("10;" + QByteArray(1100, 'x') + "\r\n") << QStringList{};
    }
    void parsing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rates);
        QCOMPARE(parseExtraRates(bytes), rates);
    }

    void fileIsKeptLikeTheRateFile()
    {
        QTemporaryDir dir;
        const RateFile folders(dir.filePath("program"), dir.filePath("user"));
        QVERIFY(QDir().mkpath(dir.filePath("program")));
        QCOMPARE(readExtraRates(folders), QStringList{}); // missing

        QVERIFY(writeExtraRates(folders, {"10", "2.10"}));
        QCOMPARE(read(dir.filePath("program/AutresTaux.ini")), QByteArray("10\r\n2.10\r\n"));
        QCOMPARE(readExtraRates(folders), (QStringList{"10", "2.10"}));
        // No rate left: an empty file, which still hides the shop's rates beside the program
        // when it is the user's own.
        QVERIFY(writeExtraRates(folders, {}));
        QCOMPARE(read(dir.filePath("program/AutresTaux.ini")), QByteArray());
    }

    void unwritableProgramFolderFallsBackToUserFile()
    {
        QTemporaryDir dir;
        // A folder path through a regular file cannot be written, even by root.
        QVERIFY(write(dir.filePath("program"), "not a folder"));
        const RateFile folders(dir.filePath("program/bin"), dir.filePath("config/tarvex"));
        QVERIFY(writeExtraRates(folders, {"10"}));
        QCOMPARE(read(dir.filePath("config/tarvex/AutresTaux.ini")), QByteArray("10\r\n"));
        QCOMPARE(readExtraRates(folders), QStringList{"10"});
    }

    void userFileHidesTheShopsRates()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("user")));
        const RateFile folders(dir.path(), dir.filePath("user"));
        QVERIFY(write(dir.filePath("AutresTaux.ini"), "10\r\n2.1\r\n"));
        QCOMPARE(readExtraRates(folders), (QStringList{"10", "2.1"}));
        QVERIFY(write(dir.filePath("user/AutresTaux.ini"), ""));
        QCOMPARE(readExtraRates(folders), QStringList{});
    }

    void switchOrder_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("shown"); // the active rate after each press
        QTest::addColumn<QList<int>>("numTaux");
        QTest::newRow("two rates")
            << "5,5" << QStringList{} << QStringList{"5,5", "20", "5,5"} << QList<int>{0, 1, 0};
        QTest::newRow("three rates")
            << "5,5" << QStringList{"10"} << QStringList{"5,5", "10", "20", "5,5"}
            << QList<int>{0, 3, 1, 0};
        QTest::newRow("four rates")
            << "5,5" << QStringList{"10", "2.1"} << QStringList{"5,5", "10", "2,1", "20", "5,5"}
            << QList<int>{0, 3, 4, 1, 0};
        QTest::newRow("an extra rate equal to the first")
            << "5,5" << QStringList{"20.0", "2.1"} << QStringList{"5,5", "2,1", "20"}
            << QList<int>{0, 3, 1};
        QTest::newRow("second written 5,50, extra 5.5")
            << "5,50" << QStringList{"5.5"} << QStringList{"5,50", "20", "5,50"}
            << QList<int>{0, 1, 0};
    }
    void switchOrder()
    {
        QFETCH(QString, second);
        QFETCH(QStringList, extra);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, numTaux);
        const SharedRates rates{Rate::fromText("20"), second};
        ActiveRate active{"20", 1};
        for (qsizetype press = 0; press < shown.size(); ++press) {
            active = switchRateAmong(active, rates, extra, comma);
            QCOMPARE(active.TauxTVA, shown[press]);
            QCOMPARE(active.NumTaux, numTaux[press]);
        }
    }

    void description_data()
    {
        QTest::addColumn<QStringList>("rates");
        QTest::addColumn<QString>("description");
        QTest::newRow("two") << QStringList{"20", "5,5"} << "2 taux de TVA : 20 % et 5,5 %";
        QTest::newRow("four") << QStringList{"20", "5,5", "10", "2,1"}
                              << "4 taux de TVA : 20 %, 5,5 %, 10 % et 2,1 %";
    }
    void description()
    {
        QFETCH(QStringList, rates);
        QFETCH(QString, description);
        QCOMPARE(ratesDescription(rates), description);
    }
};

QTEST_GUILESS_MAIN(TestExtraRates)
#include "test_extrarates.moc"
