// The rate check, the conversion before storing and the storing, without a window.

#include "options/ratesettings.h"
#include "vat/rate.h"
#include "vat/vatkeys.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using options::RateFields;

namespace {

const QChar comma(QLatin1Char(','));

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

// Ticks until the conversion completes or refuses a text; the number of ticks it took.
struct Run
{
    int ticks = 0;
    options::StepOutcome last;
};

Run runConversion(options::RateValidation &validation)
{
    Run run;
    while (run.ticks < 100) {
        ++run.ticks;
        run.last = validation.step();
        if (run.last.complete || run.last.refuseFirst || run.last.refuseSecond)
            break;
    }
    return run;
}

} // namespace

class TestRateSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_rates = {vat::Rate::fromNumber(19.6), QStringLiteral("5,5")}; }

    void fieldsShowTheSharedRates_data();
    void fieldsShowTheSharedRates();
    void acceptedRates_data();
    void acceptedRates();
    void check_data();
    void check();
    void conversion_data();
    void conversion();
    void checkRestartsARunningConversion();
    void storing_data();
    void storing();
    void storingOrder();
    void failedWriteKeepsTheNewRates();
    void storingWithStepsLeftOut_data();
    void storingWithStepsLeftOut();
    void extraRates_data();
    void extraRates();

private:
    vat::SharedRates m_rates;
};

void TestRateSettings::fieldsShowTheSharedRates_data()
{
    QTest::addColumn<vat::Rate>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<RateFields>("fields");

    QTest::newRow("number") << vat::Rate::fromNumber(19.6) << "5,5" << RateFields{"19,6", "5,5"};
    QTest::newRow("whole number") << vat::Rate::fromNumber(7) << "19,6" << RateFields{"7", "19,6"};
    QTest::newRow("text kept") << vat::Rate::fromText("19,60") << "5,50"
                               << RateFields{"19,60", "5,50"};
    QTest::newRow("no rates") << vat::Rate() << "" << RateFields{"", ""};
}

void TestRateSettings::fieldsShowTheSharedRates()
{
    QFETCH(vat::Rate, first);
    QFETCH(QString, second);
    QFETCH(RateFields, fields);
    m_rates.TauxTVA1 = first;
    m_rates.TauxTVA2 = second;
    QCOMPARE(options::fieldsFromSharedRates(m_rates, comma), fields);
}

void TestRateSettings::acceptedRates_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("lowest") << "1" << true;
    QTest::newRow("highest") << "1000" << true;
    QTest::newRow("highest with decimals") << "1000.00" << true;
    QTest::newRow("below lowest") << "0.99" << false;
    QTest::newRow("above highest") << "1000.01" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("leading zeros") << "019.60" << true;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("leading point") << ".5" << false;
    QTest::newRow("trailing point") << "5." << true;
    // Extra separators are the conversion's to refuse: the check reads the leading number.
    QTest::newRow("two points") << "19.6.1" << true;
    // Pre-filled with the regional comma: read in full, not stopped at the comma.
    QTest::newRow("pre-filled comma") << "19,6" << true;
    QTest::newRow("pre-filled comma above highest") << "1000,5" << false;
    QTest::newRow("pre-filled comma below lowest") << "0,5" << false;
    QTest::newRow("refusal marker") << "   NON   " << false;
    QTest::newRow("separator marker") << "  NON  " << false;
    // Only a hand-edited rate file can bring these into a field; the file must not get them.
    QTest::newRow("letters after the number") << "19abc" << false;
    QTest::newRow("blank inside") << "19 6" << false;
    QTest::newRow("exponent") << "1E2" << false;
    QTest::newRow("sign") << "-19.6" << false;
}

void TestRateSettings::acceptedRates()
{
    QFETCH(QString, field);
    QFETCH(bool, accepted);
    QCOMPARE(options::isAcceptedRate(field, comma), accepted);
}

void TestRateSettings::check_data()
{
    QTest::addColumn<RateFields>("typed");
    QTest::addColumn<RateFields>("shown");
    QTest::addColumn<bool>("convert");

    const QString non = options::RefusedRate;
    QTest::newRow("both accepted")
        << RateFields{"19,6", "5,5"} << RateFields{"19,6", "5,5"} << true;
    QTest::newRow("first refused") << RateFields{"0.99", "5.5"} << RateFields{non, "5.5"} << false;
    QTest::newRow("second refused") << RateFields{"7", ""} << RateFields{"7", non} << false;
    QTest::newRow("both refused") << RateFields{"", "1000.01"} << RateFields{non, non} << false;
    QTest::newRow("marker left from before")
        << RateFields{non, "5.5"} << RateFields{non, "5.5"} << false;
    QTest::newRow("separator marker left from before")
        << RateFields{"7", options::TwoSeparators} << RateFields{"7", non} << false;
    QTest::newRow("two points pass the check")
        << RateFields{"19.6.1", "5.5"} << RateFields{"19.6.1", "5.5"} << true;
}

void TestRateSettings::check()
{
    QFETCH(RateFields, typed);
    QFETCH(RateFields, shown);
    QFETCH(bool, convert);

    options::RateValidation validation(comma);
    const options::CheckOutcome outcome = validation.check(typed);
    QCOMPARE(outcome.fields, shown);
    QCOMPARE(outcome.convert, convert);
    QCOMPARE(validation.conversion().PosConv(), 0);
    QVERIFY(validation.conversion().firstResult().isEmpty());
    QVERIFY(validation.conversion().secondResult().isEmpty());
}

void TestRateSettings::conversion_data()
{
    QTest::addColumn<RateFields>("typed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("refuseFirst");
    QTest::addColumn<bool>("refuseSecond");
    QTest::addColumn<RateFields>("converted");

    QTest::newRow("pre-filled commas")
        << RateFields{"19,6", "5,5"} << 5 << true << false << false << RateFields{"19.6", "5.5"};
    QTest::newRow("first shorter")
        << RateFields{"7", "19.6"} << 5 << true << false << false << RateFields{"7", "19.6"};
    QTest::newRow("first longer") << RateFields{"19.6", "7"} << 5 << true << false << false
                                  << RateFields{"19.6", "7"};
    QTest::newRow("trailing zeros kept") << RateFields{"019,60", "5,50"} << 7 << true << false
                                         << false << RateFields{"019.60", "5.50"};
    QTest::newRow("trailing point")
        << RateFields{"5.", "5.5"} << 4 << true << false << false << RateFields{"5.", "5.5"};
    QTest::newRow("first has two points")
        << RateFields{"19.6.1", "5.5"} << 5 << false << true << false << RateFields{"19.6.", "5.5"};
    QTest::newRow("second has a point and a comma")
        << RateFields{"5.5", "1.2,3"} << 4 << false << false << true << RateFields{"5.5", "1.2."};
    QTest::newRow("both refused in the same tick")
        << RateFields{"1.2.3", "4.5.6"} << 4 << false << true << true << RateFields{"1.2.", "4.5."};
    // The first refusal stops the timer: the second text's extra point is never reached.
    QTest::newRow("first refused before the second") << RateFields{"1.2.3", "45.6.7"} << 4 << false
                                                     << true << false << RateFields{"1.2.", "45.6"};
}

void TestRateSettings::conversion()
{
    QFETCH(RateFields, typed);
    QFETCH(int, ticks);
    QFETCH(bool, complete);
    QFETCH(bool, refuseFirst);
    QFETCH(bool, refuseSecond);
    QFETCH(RateFields, converted);

    options::RateValidation validation(comma);
    QVERIFY(validation.check(typed).convert);
    const Run run = runConversion(validation);
    QCOMPARE(run.ticks, ticks);
    QCOMPARE(run.last.complete, complete);
    QCOMPARE(run.last.refuseFirst, refuseFirst);
    QCOMPARE(run.last.refuseSecond, refuseSecond);
    const RateFields results{validation.conversion().firstResult(),
                             validation.conversion().secondResult()};
    QCOMPARE(results, converted);
}

void TestRateSettings::checkRestartsARunningConversion()
{
    options::RateValidation validation(comma);
    QVERIFY(validation.check({"19.6.1", "5.5"}).convert);
    QVERIFY(!validation.step().complete);
    QVERIFY(!validation.step().complete);

    // A second press while converting starts over on the new texts, from the first character.
    QVERIFY(validation.check({"7", "19,6"}).convert);
    const Run run = runConversion(validation);
    QCOMPARE(run.ticks, 5);
    QVERIFY(run.last.complete);
    QCOMPARE(validation.conversion().firstResult(), QStringLiteral("7"));
    QCOMPARE(validation.conversion().secondResult(), QStringLiteral("19.6"));
}

void TestRateSettings::storing_data()
{
    QTest::addColumn<RateFields>("typed");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<double>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<RateFields>("shown");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("activeRate");

    QTest::newRow("pre-filled rates")
        << RateFields{"19,6", "5,5"} << QByteArray("19.6\r\n5.5\r\n") << 19.6 << "5,5"
        << RateFields{"19,6", "5,5"} << "       Taux de TVA : 19.6%"
        << "19,6";
    QTest::newRow("first shorter") << RateFields{"7", "19.6"} << QByteArray("7\r\n19.6\r\n") << 7.0
                                   << "19,6" << RateFields{"7", "19,6"} << "       Taux de TVA : 7%"
                                   << "7";
    QTest::newRow("trailing zero")
        << RateFields{"19.6", "5.50"} << QByteArray("19.6\r\n5.50\r\n") << 19.6 << "5,5"
        << RateFields{"19,6", "5,5"} << "       Taux de TVA : 19.6%"
        << "19,6";
    QTest::newRow("trailing point") << RateFields{"5.", "5.5"} << QByteArray("5.\r\n5.5\r\n") << 5.0
                                    << "5,5" << RateFields{"5", "5,5"} << "       Taux de TVA : 5.%"
                                    << "5";
    QTest::newRow("leading zeros")
        << RateFields{"019.60", "1000"} << QByteArray("019.60\r\n1000\r\n") << 19.6 << "1000"
        << RateFields{"19,6", "1000"} << "       Taux de TVA : 019.60%"
        << "19,6";
    QTest::newRow("bounds") << RateFields{"1000", "1"} << QByteArray("1000\r\n1\r\n") << 1000.0
                            << "1" << RateFields{"1000", "1"} << "       Taux de TVA : 1000%"
                            << "1000";
}

// From "Validez" to the file, as the window runs it, with the main window's part played by the
// first callback: the caption of the stored rate, and the first rate made active.
void TestRateSettings::storing()
{
    QFETCH(RateFields, typed);
    QFETCH(QByteArray, file);
    QFETCH(double, first);
    QFETCH(QString, second);
    QFETCH(RateFields, shown);
    QFETCH(QString, caption);
    QFETCH(QString, activeRate);

    QTemporaryDir program;
    QTemporaryDir user;
    const vat::RateFile rateFile(program.path(), user.path());

    options::RateValidation validation(comma);
    QVERIFY(validation.check(typed).convert);
    QVERIFY(runConversion(validation).last.complete);

    QString mainCaption;
    QString mainActiveRate;
    RateFields fields;
    options::CommitSteps steps;
    steps.firstRateStored = [&](const QString &text) {
        mainCaption = vat::storedRateCaption(text);
        mainActiveRate = m_rates.TauxTVA1.text(comma);
    };
    steps.showFirstRate = [&](const QString &text) { fields.first = text; };
    steps.showSecondRate = [&](const QString &text) { fields.second = text; };
    QVERIFY(options::commitRates(validation.conversion().firstResult(),
                                 validation.conversion().secondResult(), comma, m_rates, rateFile,
                                 steps));

    QCOMPARE(fileBytes(rateFile.programFilePath()), file);
    QVERIFY(!QFile::exists(rateFile.userFilePath()));
    QVERIFY(m_rates.TauxTVA1.isNumber());
    QCOMPARE(m_rates.TauxTVA1.value(comma), std::optional<double>(first));
    QCOMPARE(m_rates.TauxTVA2, second);
    QCOMPARE(fields, shown);
    QCOMPARE(mainCaption, caption);
    QCOMPARE(mainActiveRate, activeRate);

    // The window opened next time shows what was stored.
    QCOMPARE(options::fieldsFromSharedRates(m_rates, comma), shown);
}

// The main window hears of the new first rate before the second rate and the file change.
void TestRateSettings::storingOrder()
{
    QTemporaryDir program;
    QTemporaryDir user;
    const vat::RateFile rateFile(program.path(), user.path());
    const QString path = rateFile.programFilePath();
    auto state = [&] {
        return QStringLiteral("first=%1 second=%2 file=%3")
            .arg(m_rates.TauxTVA1.text(comma), m_rates.TauxTVA2,
                 QFile::exists(path) ? QStringLiteral("yes") : QStringLiteral("no"));
    };

    QStringList events;
    options::CommitSteps steps;
    steps.firstRateStored = [&](const QString &text) {
        events << QStringLiteral("main window %1: ").arg(text) + state();
    };
    steps.showFirstRate = [&](const QString &text) {
        events << QStringLiteral("field 1 %1: ").arg(text) + state();
    };
    steps.showSecondRate = [&](const QString &text) {
        events << QStringLiteral("field 2 %1: ").arg(text) + state();
    };
    QVERIFY(options::commitRates("7", "2.10", comma, m_rates, rateFile, steps));
    events << QStringLiteral("after: ") + state();

    const QStringList expected{
        "main window 7: first=7 second=5,5 file=no",
        "field 1 7: first=7 second=5,5 file=no",
        "field 2 2,1: first=7 second=2,1 file=no",
        "after: first=7 second=2,1 file=yes",
    };
    QCOMPARE(events, expected);
}

// A folder that cannot be written (here: below a plain file) is no reason to lose the rates for
// this run: they are held and shown all the same.
void TestRateSettings::failedWriteKeepsTheNewRates()
{
    QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("not-a-folder"));
    {
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const vat::RateFile rateFile(plainFile + QStringLiteral("/program"),
                                 plainFile + QStringLiteral("/user"));

    QString stored;
    options::CommitSteps steps;
    steps.firstRateStored = [&](const QString &text) { stored = text; };
    QVERIFY(!options::commitRates("20", "10", comma, m_rates, rateFile, steps));
    QCOMPARE(stored, QStringLiteral("20"));
    QCOMPARE(m_rates.TauxTVA1.value(comma), std::optional<double>(20.0));
    QCOMPARE(m_rates.TauxTVA2, QStringLiteral("10"));
}

// A caller that has no main window or no fields to refresh leaves those steps out: the rates are
// stored all the same, and the steps that are there still hear of them.
void TestRateSettings::storingWithStepsLeftOut_data()
{
    QTest::addColumn<bool>("mainWindow");
    QTest::addColumn<bool>("firstField");
    QTest::addColumn<bool>("secondField");

    QTest::newRow("no step at all") << false << false << false;
    QTest::newRow("fields only") << false << true << true;
    QTest::newRow("main window only") << true << false << false;
    QTest::newRow("second field only") << false << false << true;
}

void TestRateSettings::storingWithStepsLeftOut()
{
    QFETCH(bool, mainWindow);
    QFETCH(bool, firstField);
    QFETCH(bool, secondField);

    QTemporaryDir program;
    QTemporaryDir user;
    const vat::RateFile rateFile(program.path(), user.path());

    QStringList heard;
    options::CommitSteps steps;
    if (mainWindow)
        steps.firstRateStored = [&](const QString &text) { heard << "main window " + text; };
    if (firstField)
        steps.showFirstRate = [&](const QString &text) { heard << "field 1 " + text; };
    if (secondField)
        steps.showSecondRate = [&](const QString &text) { heard << "field 2 " + text; };
    QVERIFY(options::commitRates("20.0", "5.50", comma, m_rates, rateFile, steps));

    QStringList expected;
    if (mainWindow)
        expected << "main window 20.0";
    if (firstField)
        expected << "field 1 20";
    if (secondField)
        expected << "field 2 5,5";
    QCOMPARE(heard, expected);
    QCOMPARE(m_rates.TauxTVA1.value(comma), std::optional<double>(20.0));
    QCOMPARE(m_rates.TauxTVA2, QStringLiteral("5,5"));
    QCOMPARE(fileBytes(rateFile.programFilePath()), QByteArray("20.0\r\n5.50\r\n"));
}

void TestRateSettings::extraRates_data()
{
    QTest::addColumn<QString>("third");
    QTest::addColumn<QString>("fourth");
    QTest::addColumn<QString>("thirdAfter");
    QTest::addColumn<QString>("fourthAfter");
    QTest::addColumn<QStringList>("stored"); // empty when refused, or when no rate is left
    const QString non = QStringLiteral("   NON   ");
    const QString twoSeparators = QStringLiteral("  NON  ");
    QTest::newRow("both") << "10"
                          << "2,1"
                          << "10"
                          << "2,1" << QStringList{"10", "2.1"};
    QTest::newRow("as typed") << "010,50"
                              << "5."
                              << "010,50"
                              << "5." << QStringList{"010.50", "5."};
    QTest::newRow("only the fourth") << ""
                                     << "10"
                                     << ""
                                     << "10" << QStringList{"10"};
    QTest::newRow("none left") << ""
                               << ""
                               << ""
                               << "" << QStringList{};
    QTest::newRow("zero") << "0"
                          << "10" << non << "10" << QStringList{};
    QTest::newRow("below 1") << "10"
                             << "0,99"
                             << "10" << non << QStringList{};
    QTest::newRow("above 1000") << "1000.01"
                                << "" << non << "" << QStringList{};
    QTest::newRow("1 and 1000") << "1"
                                << "1000"
                                << "1"
                                << "1000" << QStringList{"1", "1000"};
    QTest::newRow("two separators") << "2,1,5"
                                    << "10" << twoSeparators << "10" << QStringList{};
    QTest::newRow("range before separators") << "2,1,5"
                                             << "0"
                                             << "2,1,5" << non << QStringList{};
    QTest::newRow("equal to the first") << "19,6"
                                        << "10" << non << "10" << QStringList{};
    QTest::newRow("equal to the second") << "10"
                                         << "5,50"
                                         << "10" << non << QStringList{};
    QTest::newRow("equal to each other") << "10"
                                         << "10,0"
                                         << "10" << non << QStringList{};
    QTest::newRow("a marker left in the field") << non << "10" << non << "10" << QStringList{};
}

void TestRateSettings::extraRates()
{
    QFETCH(QString, third);
    QFETCH(QString, fourth);
    QFETCH(QString, thirdAfter);
    QFETCH(QString, fourthAfter);
    QFETCH(QStringList, stored);
    const options::ExtraRatesOutcome outcome =
        options::checkExtraRates({third, fourth}, {19.6, 5.5}, QLatin1Char(','));
    QCOMPARE(outcome.fields, (RateFields{thirdAfter, fourthAfter}));
    QCOMPARE(outcome.accepted, !stored.isEmpty() || (third.isEmpty() && fourth.isEmpty()));
    QCOMPARE(outcome.withPoint, stored);
}

QTEST_GUILESS_MAIN(TestRateSettings)
#include "test_ratesettings.moc"
