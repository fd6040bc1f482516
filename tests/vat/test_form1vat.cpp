// The main window's VAT panel, pressed through its real buttons: the rates read at start-up,
// their conversion, the VAT keys, the rate switch and its caption.
//
// The program's folder is the build folder, which holds the default rate file (20 and 5.5).
// Other rates are given through the per-user file, which is read in preference when it exists.

#include "desk/desk.h"
#include "shell/Form1.h"
#include "vat/rate.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

QString userRateFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Taux.ini"));
}

void writeUserRateFile(const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(userRateFile()).path()));
    QFile file(userRateFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString textOf(const QWidget &window, const char *name)
{
    const QObject *element = window.findChild<QObject *>(QLatin1String(name));
    return element ? element->property("text").toString()
                   : QStringLiteral("<missing %1>").arg(name);
}

// Presses the buttons named in a blank-separated list.
void press(QWidget &window, const QString &names)
{
    for (const QString &name : names.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        auto *button = window.findChild<QAbstractButton *>(name);
        QVERIFY2(button, qPrintable(QStringLiteral("no button ") + name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

// The start-up conversion takes a few 10 ms ticks.
bool waitForActiveRate(Form1 &window)
{
    return QTest::qWaitFor([&] { return !window.desk().rates().TauxTVA().isEmpty(); }, 5000);
}

// Counts the ticks of the 10 ms timers, seen from the application so a window's private timer is
// counted too.
class TickCounter : public QObject
{
public:
    TickCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~TickCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int ticks = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            if (const auto *timer = qobject_cast<QTimer *>(watched);
                timer && timer->interval() == 10)
                ++ticks;
        }
        return false;
    }
};

} // namespace

class TestForm1Vat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(userRateFile()); }
    void cleanupTestCase() { QFile::remove(userRateFile()); }

    void startsWithTheDefaultFile()
    {
        TickCounter counter;
        Form1 window;
        QCOMPARE(window.vatCaption(), QStringLiteral("      Taux de TVA : 20 %"));
        QCOMPARE(textOf(window, "Text1"), QString());
        QVERIFY(waitForActiveRate(window));
        QCOMPARE(window.desk().rates().TauxTVA(), QStringLiteral("20"));
        QCOMPARE(window.desk().rates().NumTaux(), 1);
        QCOMPARE(window.desk().rates().shared().TauxTVA2, QStringLiteral("5,5"));
        // "20" and "5.5": three characters, so three ticks and the one that completes.
        QCOMPARE(counter.ticks, 4);
        // And then no more: the timer stopped.
        QVERIFY(!window.desk().convertingRates());
        // The conversion never touches the display.
        QCOMPARE(textOf(window, "Text1"), QString());

        press(window, "C1 C0 C0 CmdTTC");
        QCOMPARE(textOf(window, "Text1"), QStringLiteral("120 TTC"));
    }

    void keys_data()
    {
        QTest::addColumn<QByteArray>("rates");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("shown");

        const QByteArray usual("19.6\r\n5.5\r\n");
        QTest::newRow("TTC") << usual << "C1 C0 C0 CmdTTC"
                             << "119,6 TTC";
        QTest::newRow("HT") << usual << "C1 C0 C0 CmdHT"
                            << "83,61 HT";
        QTest::newRow("TVA") << usual << "C1 C0 C0 CmdTVA"
                             << "TVA 19,6";
        QTest::newRow("dont TVA") << usual << "C1 C0 C0 DontTVA"
                                  << "Dont TVA 16,39";
        QTest::newRow("second rate TTC") << usual << "TVA C1 C0 CmdTTC"
                                         << "10,55 TTC";
        QTest::newRow("second rate HT") << usual << "TVA C1 C0 CmdHT"
                                        << "9,48 HT";
        QTest::newRow("second rate TVA") << usual << "TVA C1 C0 CmdTVA"
                                         << "TVA 0,55";
        QTest::newRow("second rate dont TVA") << usual << "TVA C1 C0 DontTVA"
                                              << "Dont TVA 0,52";
        QTest::newRow("switched back") << usual << "TVA TVA C1 C0 C0 CmdTTC"
                                       << "119,6 TTC";
        QTest::newRow("half cent") << QByteArray("25\r\n5.5\r\n") << "C0 virgule C5 CmdTTC"
                                   << "0,62 TTC";
        QTest::newRow("second press ignored") << usual << "C1 C0 C0 CmdTTC CmdTTC"
                                              << "119,6 TTC";
        QTest::newRow("empty display") << usual << "CmdTTC CmdHT CmdTVA DontTVA"
                                       << "";
        QTest::newRow("negative") << usual << "C1 C0 C0 moins C2 C0 C0 egal CmdTTC"
                                  << "-119,6 TTC";
        QTest::newRow("decimal point after TTC") << usual << "C1 C0 C0 CmdTTC C5 virgule C5 CmdTVA"
                                                 << "TVA 1,08";
        QTest::newRow("decimal point after HT") << usual << "C1 C0 C0 CmdHT C5 virgule C5 CmdTVA"
                                                << "TVA 1,08";
        QTest::newRow("trailing zeros in file")
            << QByteArray("19.60\r\n5.50\r\n") << "TVA C1 C0 CmdTTC"
            << "10,55 TTC";
        QTest::newRow("rate -100 HT") << QByteArray("-100\r\n5.5\r\n") << "C1 C0 C0 CmdHT"
                                      << " 100";
        QTest::newRow("rate -100 TTC") << QByteArray("-100\r\n5.5\r\n") << "C1 C0 C0 CmdTTC"
                                       << "0 TTC";
    }
    void keys()
    {
        QFETCH(QByteArray, rates);
        QFETCH(QString, buttons);
        QFETCH(QString, shown);

        writeUserRateFile(rates);
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(waitForActiveRate(window));
        press(window, buttons);
        QCOMPARE(textOf(window, "Text1"), shown);
    }

    void rateSwitchCaption()
    {
        writeUserRateFile("19.60\r\n5.50\r\n");
        Form1 window;
        QVERIFY(waitForActiveRate(window));
        press(window, "C1 C0");
        const calc::CalculatorState before = window.desk().engine().state();

        const QStringList captions{QStringLiteral("      Taux de TVA : 5,50 %"),
                                   QStringLiteral("      Taux de TVA : 19,6 %")};
        for (int i = 0; i < 4; ++i) {
            press(window, "TVA");
            QCOMPARE(window.vatCaption(), captions[i % 2]);
            QCOMPARE(window.desk().rates().NumTaux(), i % 2);
        }
        // The switch changes neither the display nor the calculator.
        QCOMPARE(textOf(window, "Text1"), QStringLiteral(" 10"));
        QVERIFY(window.desk().engine().state() == before);
    }

    // A rate file the conversion cannot complete: the window works, the VAT keys do nothing.
    void unusableRates_data()
    {
        QTest::addColumn<QByteArray>("rates");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("active");
        QTest::newRow("two points")
            << QByteArray("19.6.1\r\n5.5\r\n") << "      Taux de TVA : 19.6.1 %"
            << "";
        QTest::newRow("two points in second")
            << QByteArray("19.6\r\n5..5\r\n") << "      Taux de TVA : 19,6 %"
            << "";
        QTest::newRow("letters") << QByteArray("abc\r\n5.5\r\n") << "      Taux de TVA : abc %"
                                 << "abc";
    }
    void unusableRates()
    {
        QFETCH(QByteArray, rates);
        QFETCH(QString, caption);
        QFETCH(QString, active);

        writeUserRateFile(rates);
        TickCounter counter;
        Form1 window;
        QCOMPARE(window.vatCaption(), caption);
        // The conversion runs until it fails or completes, then the timer stops.
        QTRY_VERIFY(counter.ticks > 0);
        QTRY_VERIFY(!window.desk().convertingRates());
        QCOMPARE(window.desk().rates().TauxTVA(), active);

        press(window, "C1 C0 C0");
        const calc::CalculatorState before = window.desk().engine().state();
        const QString display = textOf(window, "Text1");
        press(window, "CmdTTC CmdHT CmdTVA DontTVA");
        QCOMPARE(textOf(window, "Text1"), display);
        QVERIFY(window.desk().engine().state() == before);
    }

    void ratesTakenBecomeActive()
    {
        Form1 window;
        QVERIFY(waitForActiveRate(window));
        press(window, "TVA");
        QCOMPARE(window.desk().rates().TauxTVA(), QStringLiteral("5,5"));

        window.desk().resumeRates({vat::Rate::fromNumber(7.0), QStringLiteral("5,5")});
        QCOMPARE(window.desk().rates().TauxTVA(), QStringLiteral("7"));
        QCOMPARE(window.desk().rates().NumTaux(), 1);
        QCOMPARE(window.vatCaption(), QStringLiteral("      Taux de TVA : 7 %"));
        press(window, "C1 C0 C0 CmdTTC");
        QCOMPARE(textOf(window, "Text1"), QStringLiteral("107 TTC"));
    }
};

QTEST_MAIN(TestForm1Vat)
#include "test_form1vat.moc"
