// The rate-text conversion in its two uses, and the rates at the main window's start.

#include "vat/conversion.h"
#include "vat/rate.h"
#include "vat/startup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vat;
using Status = RateTextConversion::Status;
using Order = RateTextConversion::Order;

Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Order)

namespace {

// Steps until the conversion stops running; the number of steps taken.
int runToEnd(RateTextConversion &conversion)
{
    int ticks = 0;
    while (conversion.step() == Status::Running && ticks < 1000000)
        ++ticks;
    return ticks + 1;
}

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Order>("order");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("firstResult");
        QTest::addColumn<QString>("secondResult");
        QTest::addColumn<int>("separators1");
        QTest::addColumn<int>("separators2");

        const Order startUp = Order::SecondThenFirst;
        QTest::newRow("start-up usual") << "."
                                        << "," << startUp << "19.6"
                                        << "5.5" << Status::Complete << 5 << "19,6"
                                        << "5,5" << 1 << 1;
        QTest::newRow("start-up first shorter") << "."
                                                << "," << startUp << "7"
                                                << "19.6" << Status::Complete << 5 << "7"
                                                << "19,6" << 0 << 1;
        QTest::newRow("start-up first longer") << "."
                                               << "," << startUp << "19.6"
                                               << "7" << Status::Complete << 5 << "19,6"
                                               << "7" << 1 << 0;
        // The first rate arrives as regional text: its comma is already the target separator.
        QTest::newRow("start-up regional first") << "."
                                                 << "," << startUp << "19,6"
                                                 << "5.50" << Status::Complete << 5 << "19,6"
                                                 << "5,50" << 1 << 1;
        QTest::newRow("start-up whole numbers") << "."
                                                << "," << startUp << "20"
                                                << "10" << Status::Complete << 3 << "20"
                                                << "10" << 0 << 0;
        QTest::newRow("start-up nothing") << "."
                                          << "," << startUp << ""
                                          << "" << Status::Complete << 1 << ""
                                          << "" << 0 << 0;
        QTest::newRow("start-up letters") << "."
                                          << "," << startUp << "abc"
                                          << "5.5" << Status::Complete << 4 << "abc"
                                          << "5,5" << 0 << 1;
        QTest::newRow("start-up two points in first") << "."
                                                      << "," << startUp << "19.6.1"
                                                      << "5.5" << Status::Refused << 5 << "19,6,"
                                                      << "5,5" << 2 << 1;
        QTest::newRow("start-up two points in second") << "."
                                                       << "," << startUp << "20"
                                                       << "5.5.5" << Status::Refused << 4 << "20"
                                                       << "5,5," << 0 << 2;
        QTest::newRow("start-up point and comma") << "."
                                                  << "," << startUp << "1,5.5"
                                                  << "7" << Status::Refused << 4 << "1,5,"
                                                  << "7" << 2 << 0;
        QTest::newRow("start-up same mark") << "."
                                            << "." << startUp << "19.6"
                                            << "5.5" << Status::Complete << 5 << "19.6"
                                            << "5.5" << 1 << 1;

        const Order options = Order::FirstThenSecond;
        QTest::newRow("options usual") << ","
                                       << "." << options << "19,6"
                                       << "5,5" << Status::Complete << 5 << "19.6"
                                       << "5.5" << 1 << 1;
        QTest::newRow("options typed points") << ","
                                              << "." << options << "7"
                                              << "19.6" << Status::Complete << 5 << "7"
                                              << "19.6" << 0 << 1;
        QTest::newRow("options trailing point") << ","
                                                << "." << options << "5."
                                                << "1000" << Status::Complete << 5 << "5."
                                                << "1000" << 1 << 0;
        QTest::newRow("options two separators") << ","
                                                << "." << options << "19.6.1"
                                                << "5,5" << Status::Refused << 5 << "19.6."
                                                << "5.5" << 2 << 1;
        QTest::newRow("options both refused at once") << ","
                                                      << "." << options << "1,2,3"
                                                      << "4.5,6" << Status::Refused << 4 << "1.2."
                                                      << "4.5." << 2 << 2;
    }
    void conversion()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Order, order);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(Status, status);
        QFETCH(int, ticks);
        QFETCH(QString, firstResult);
        QFETCH(QString, secondResult);
        QFETCH(int, separators1);
        QFETCH(int, separators2);

        RateTextConversion conversion(from.front(), to.front(), order);
        conversion.start(first, second);
        QCOMPARE(conversion.PosConv(), 0);
        QCOMPARE(runToEnd(conversion), ticks);
        QCOMPARE(conversion.status(), status);
        QCOMPARE(conversion.PosConv(), ticks);
        QCOMPARE(conversion.firstResult(), firstResult);
        QCOMPARE(conversion.secondResult(), secondResult);
        QCOMPARE(conversion.NbSep1(), separators1);
        QCOMPARE(conversion.NbSep2(), separators2);

        // A tick that arrives after the end changes nothing.
        QCOMPARE(conversion.step(), status);
        QCOMPARE(conversion.PosConv(), ticks);
        QCOMPARE(conversion.firstResult(), firstResult);
        QCOMPARE(conversion.secondResult(), secondResult);
    }

    void transitFollowsEachCharacter()
    {
        RateTextConversion conversion(QLatin1Char('.'), QLatin1Char(','), Order::SecondThenFirst);
        conversion.start(QStringLiteral("19.6"), QStringLiteral("7"));
        const QStringList firstTransit{"1", "9", ",", "6", ""};
        const QStringList secondTransit{"7", "", "", "", ""};
        const QStringList firstSoFar{"1", "19", "19,", "19,6", "19,6"};
        for (int tick = 0; tick < 5; ++tick) {
            QCOMPARE(conversion.step(), tick < 4 ? Status::Running : Status::Complete);
            QCOMPARE(conversion.firstTransit(), firstTransit[tick]);
            QCOMPARE(conversion.secondTransit(), secondTransit[tick]);
            QCOMPARE(conversion.firstResult(), firstSoFar[tick]);
            QCOMPARE(conversion.secondResult(), QStringLiteral("7"));
        }
    }

    void startAfreshAfterRefusal()
    {
        RateTextConversion conversion(QLatin1Char(','), QLatin1Char('.'), Order::FirstThenSecond);
        conversion.start(QStringLiteral("1,,"), QStringLiteral("5"));
        QCOMPARE(runToEnd(conversion), 3);
        QCOMPARE(conversion.status(), Status::Refused);

        conversion.start(QStringLiteral("19,6"), QStringLiteral("5,5"));
        QCOMPARE(conversion.status(), Status::Running);
        QCOMPARE(conversion.NbSep1(), 0);
        QVERIFY(conversion.firstResult().isEmpty());
        QCOMPARE(runToEnd(conversion), 5);
        QCOMPARE(conversion.status(), Status::Complete);
        QCOMPARE(conversion.firstResult(), QStringLiteral("19.6"));
    }

    void longText()
    {
        const QString digits(5000, QLatin1Char('9'));
        RateTextConversion conversion(QLatin1Char('.'), QLatin1Char(','), Order::SecondThenFirst);
        conversion.start(digits + QStringLiteral(".5"), QStringLiteral("5.5"));
        QCOMPARE(runToEnd(conversion), int(digits.size()) + 3);
        QCOMPARE(conversion.status(), Status::Complete);
        QCOMPARE(conversion.firstResult(), digits + QStringLiteral(",5"));
    }

    void startUpRates_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("active");
        QTest::addColumn<QString>("second");

        QTest::newRow("usual") << true << QByteArray("19.6\r\n5.5\r\n")
                               << "      Taux de TVA : 19,6 %" << true << Status::Complete << "19,6"
                               << "5,5";
        QTest::newRow("default") << true << QByteArray("20\r\n5.5\r\n")
                                 << "      Taux de TVA : 20 %" << true << Status::Complete << "20"
                                 << "5,5";
        QTest::newRow("trailing zeros")
            << true << QByteArray("19.60\r\n5.50\r\n") << "      Taux de TVA : 19,6 %" << true
            << Status::Complete << "19,6"
            << "5,50";
        QTest::newRow("first is text")
            << true << QByteArray("abc\r\n5.5\r\n") << "      Taux de TVA : abc %" << true
            << Status::Complete << "abc"
            << "5,5";
        QTest::newRow("two points")
            << true << QByteArray("19.6.1\r\n5.5\r\n") << "      Taux de TVA : 19.6.1 %" << true
            << Status::Refused << ""
            << "";
        QTest::newRow("missing") << false << QByteArray() << "      Taux de TVA :  %" << false
                                 << Status::Running << ""
                                 << "";
        QTest::newRow("one field") << true << QByteArray("20\r\n") << "      Taux de TVA :  %"
                                   << false << Status::Running << ""
                                   << "";
    }
    void startUpRates()
    {
        QFETCH(bool, fileExists);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, caption);
        QFETCH(bool, usable);
        QFETCH(Status, status);
        QFETCH(QString, active);
        QFETCH(QString, second);

        QTemporaryDir dir;
        if (fileExists) {
            QFile file(dir.filePath("Taux.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        // Rates left over from an earlier read must not survive a file that gives none.
        SharedRates held{Rate::fromNumber(33.0), QStringLiteral("44")};

        const QChar mark = QLatin1Char(',');
        const StartUpRates rates = loadStartUpRates(RateFile(dir.path(), QString()), mark, held);
        QCOMPARE(rates.caption, caption);
        QCOMPARE(rates.usable, usable);
        if (!usable) {
            QVERIFY(held.TauxTVA1.isEmpty());
            QVERIFY(held.TauxTVA2.isEmpty());
            return;
        }

        RateTextConversion conversion = startUpConversion(mark);
        conversion.start(rates.firstSource, rates.secondSource);
        runToEnd(conversion);
        QCOMPARE(conversion.status(), status);
        if (status != Status::Complete)
            return;

        const ActiveRate committed = commitStartUpRates(conversion, held);
        QCOMPARE(committed.TauxTVA, active);
        QCOMPARE(committed.NumTaux, 1);
        QCOMPARE(held.TauxTVA1.text(mark), active);
        QVERIFY(!held.TauxTVA1.isNumber());
        QCOMPARE(held.TauxTVA2, second);
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "test_conversion.moc"
