// The margin window driven through its widgets: typing through the key filter, clicks that
// empty a field, and "Calculer" / "RAZ" of the margin and price-change calculators.

#include "form2fixture.h"

#include "editingkeys.h"

#include "margin/margincalc.h"

#include <QApplication>
#include <QClipboard>

class TestForm2Entry : public Form2Fixture
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void keyFilterOnEveryNumberField();
    void editingKeys_data() { editingkeys::addRows(); }
    void editingKeys();
    void clickEmptiesFieldLockedOrNot();
    void marginComputedThroughWidgets_data();
    void marginComputedThroughWidgets();
    void firstRateAsTextWithComma();
    void resultOutOfRangeIsNotShown();
    void razKeepsSetUpAndShownResults();
    void priceChangeThroughWidgets();
};

void TestForm2Entry::keyFilterOnEveryNumberField()
{
    // Each field with the click that makes it an entry field first.
    const std::pair<const char *, const char *> entries[] = {
        {"", "TxtAchat"},
        {"", "TxtVente"},
        {"", "TxtN1"},
        {"", "TxtN2"},
        {"Check1", "TxtCoef"},
        {"Option1", "TxtTauxMarge"},
        {"Option2", "TxtTauxMarque"},
        {"Option4", "TxtMargeBrute"},
        {"CheckTaux", "TxtRem"},
    };
    for (const auto &[setup, name] : entries) {
        if (*setup)
            click(setup);
        type(name, QStringLiteral("1,5a -+x2.3"));
        QCOMPARE(edit(name)->text(), QStringLiteral("1.52.3"));
        // Backspace is discarded; Delete still removes the character after the caret.
        QTest::keyClick(edit(name), Qt::Key_Backspace);
        QCOMPARE(edit(name)->text(), QStringLiteral("1.52.3"));
        QTest::keyClick(edit(name), Qt::Key_Home);
        QTest::keyClick(edit(name), Qt::Key_Delete);
        QCOMPARE(edit(name)->text(), QStringLiteral(".52.3"));
    }
    // Pasted text goes through the same filter.
    click("TxtAchat");
    QApplication::clipboard()->setText(QStringLiteral("12,5 €"));
    edit("TxtAchat")->paste();
    QCOMPARE(edit("TxtAchat")->text(), QStringLiteral("12.5"));
}

void TestForm2Entry::editingKeys()
{
    QFETCH(editingkeys::Keys, keys);
    QFETCH(QString, shown);

    // The fields that take entries as the window opens.
    for (const char *name : {"TxtAchat", "TxtVente", "TxtN1", "TxtN2"})
        QCOMPARE(editingkeys::afterKeys(edit(name), keys), shown);
}

void TestForm2Entry::clickEmptiesFieldLockedOrNot()
{
    // TxtRem is a locked result holding "0" in rate mode; the margin results too.
    for (const char *name : {"TxtRem", "TxtCoef", "TxtAchat"}) {
        edit(name)->setText(QStringLiteral("12.5"));
        click(name);
        QCOMPARE(edit(name)->text(), QString());
    }
}

void TestForm2Entry::marginComputedThroughWidgets_data()
{
    QTest::addColumn<QStringList>("setup");   // clicks that set the calculator up
    QTest::addColumn<QStringList>("entries"); // field, keys, field, keys...
    QTest::addColumn<QStringList>("results"); // texts of the six fields afterwards
    QTest::addColumn<QString>("shown");       // which fields are on show afterwards

    QTest::newRow("free 80 100") << QStringList{}
                                 << QStringList{"TxtAchat", "80", "TxtVente", "100"}
                                 << QStringList{"80", "100", "25", "20", "1,25", "20"} << "111111";
    QTest::newRow("coef 1,25 on purchase 80")
        << QStringList{"Check1"} << QStringList{"TxtAchat", "80", "TxtCoef", "1,25"}
        << QStringList{"80", "100", "25", "20", "1.25", "20"} << "111111";
    QTest::newRow("margin rate 25 on 80, PV TTC")
        << QStringList{"Check1", "Option1", "Check3"}
        << QStringList{"TxtAchat", "80", "TxtTauxMarge", "25"}
        << QStringList{"80", "119,6", "25", "20", "1,25", "20"} << "111111";
    QTest::newRow("mark-up rate 100 on 100")
        << QStringList{"Check1", "Option2"}
        << QStringList{"TxtVente", "100", "TxtTauxMarque", "100"}
        << QStringList{"0", "100", "", "100", "", "100"} << "110101";
    QTest::newRow("gross margin 1 on selling 3")
        << QStringList{"Check1", "OpPv", "Option4"}
        << QStringList{"TxtVente", "3", "TxtMargeBrute", "1"}
        << QStringList{"2", "3", "50", "33,33", "1,5", "1"} << "111111";
    QTest::newRow("coef on selling, PA TTC")
        << QStringList{"Check1", "OpPv", "Check2"}
        << QStringList{"TxtVente", "100", "TxtCoef", "1.25"}
        << QStringList{"95,68", "100", "25", "20", "1.25", "20"} << "111111";
    QTest::newRow("coef 0 on selling writes nothing")
        << QStringList{"Check1", "OpPv"} << QStringList{"TxtVente", "100", "TxtCoef", "0"}
        << QStringList{"", "100", "", "", "0", ""} << "010010";
    QTest::newRow("margin rate with empty purchase")
        << QStringList{"Check1", "Option1"} << QStringList{"TxtTauxMarge", "25"}
        << QStringList{"", "", "25", "", "", ""} << "101000";
}

void TestForm2Entry::marginComputedThroughWidgets()
{
    QFETCH(QStringList, setup);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, results);
    QFETCH(QString, shown);

    for (const QString &name : setup)
        click(name);
    for (qsizetype i = 0; i + 1 < entries.size(); i += 2)
        type(entries[i], entries[i + 1]);
    click(QStringLiteral("CmdCalcul1"));

    QStringList texts;
    QString onShow;
    for (const QString &field : marginFields) {
        texts << edit(field)->text();
        onShow += edit(field)->isHidden() ? QLatin1Char('0') : QLatin1Char('1');
    }
    QCOMPARE(texts, results);
    QCOMPARE(onShow, shown);
}

void TestForm2Entry::firstRateAsTextWithComma()
{
    // The rates converted at start-up are texts with the regional mark.
    m_desk->resumeRates({vat::Rate::fromText(QStringLiteral("5,5")), QString()});
    click("Check3");
    type("TxtAchat", "100");
    type("TxtVente", "211");
    click("CmdCalcul1");
    QCOMPARE(edit("TxtMargeBrute")->text(), QStringLiteral("100"));
    QCOMPARE(edit("TxtCoef")->text(), QStringLiteral("2"));

    // Without a usable first rate nothing is computed from a price with VAT.
    m_desk->resumeRates({vat::Rate::fromText(QStringLiteral("   NON   ")), QString()});
    click("cmdRaz");
    type("TxtAchat", "100");
    type("TxtVente", "211");
    click("CmdCalcul1");
    for (const char *name : {"TxtTauxMarge", "TxtTauxMarque", "TxtCoef", "TxtMargeBrute"})
        QCOMPARE(edit(name)->text(), QString());
}

void TestForm2Entry::resultOutOfRangeIsNotShown()
{
    type("TxtAchat", QString(400, QLatin1Char('9')));
    type("TxtVente", "100");
    click("CmdCalcul1");
    for (const char *name : {"TxtTauxMarge", "TxtTauxMarque", "TxtCoef", "TxtMargeBrute"})
        QCOMPARE(edit(name)->text(), QStringLiteral("0"));
}

void TestForm2Entry::razKeepsSetUpAndShownResults()
{
    click("Check1");
    type("TxtAchat", "80");
    type("TxtCoef", "2");
    click("CmdCalcul1");
    QCOMPARE(edit("TxtVente")->text(), QStringLiteral("160"));
    const margin::MarginNumbers before = m_form->marginCalculator().numbers();
    click("cmdRaz");
    for (const QString &field : marginFields) {
        QCOMPARE(edit(field)->text(), QString());
        QVERIFY(!edit(field)->isHidden());
    }
    QCOMPARE(fieldLook("TxtVente"), QStringLiteral("R"));
    QCOMPARE(buttonState("Option3"), QStringLiteral("S"));
    QCOMPARE(m_form->marginCalculator().numbers(), before);

    // A later change of set-up hides the results again.
    click("OpPv");
    QCOMPARE(fieldLook("TxtAchat"), QStringLiteral("H"));
    QCOMPARE(fieldLook("TxtMargeBrute"), QStringLiteral("R"));
}

void TestForm2Entry::priceChangeThroughWidgets()
{
    // Right after opening, TxtRem holds "0", so rate mode computes nothing.
    edit("TxtN1")->setText(QStringLiteral("100"));
    edit("TxtN2")->setText(QStringLiteral("80"));
    click("CmdCalculer2");
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("0"));

    type("TxtN1", "100");
    QCOMPARE(edit("TxtRem")->text(), QString());
    type("TxtN2", "80");
    click("CmdCalculer2");
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("20"));
    click("OptionHausse");
    QCOMPARE(edit("TxtRem")->text(), QString());
    click("CmdCalculer2");
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("25"));
    click("CmdCalculer2"); // the rate still shown: nothing changes
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("25"));

    // Fixed-rate mode.
    click("CheckTaux");
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("10"));
    QCOMPARE(fieldLook("TxtRem"), QStringLiteral("E"));
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("H"));
    QCOMPARE(edit("TxtN2")->text(), QString());
    type("TxtN1", "200");
    click("CmdCalculer2");
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("R"));
    QCOMPARE(edit("TxtN2")->text(), QStringLiteral("220"));
    click("OptionRem"); // no effect on the rate in fixed-rate mode
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("10"));
    click("CmdCalculer2");
    QCOMPARE(edit("TxtN2")->text(), QStringLiteral("180"));
    QTest::keyClicks(edit("TxtN1"), QStringLiteral("0"));
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("H"));
    type("TxtRem", "150");
    type("TxtN1", "100");
    click("CmdCalculer2");
    QCOMPARE(edit("TxtN2")->text(), QStringLiteral("-50"));

    // RAZ empties the rate too: the next "Calculer" does nothing.
    click("CmdRaz2");
    for (const char *name : {"TxtN1", "TxtN2", "TxtRem"})
        QCOMPARE(edit(name)->text(), QString());
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("H"));
    type("TxtN1", "100");
    click("CmdCalculer2");
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("H"));

    // Back to rate mode.
    click("CheckTaux");
    QCOMPARE(fieldLook("TxtN1"), QStringLiteral("E"));
    QCOMPARE(fieldLook("TxtN2"), QStringLiteral("E"));
    QCOMPARE(fieldLook("TxtRem"), QStringLiteral("R"));
    QCOMPARE(edit("TxtRem")->text(), QString());
    QCOMPARE(edit("TxtN1")->text(), QStringLiteral("100"));
    type("TxtN2", "9");
    type("TxtN1", "3");
    click("OptionRem");
    click("CmdCalculer2");
    QCOMPARE(edit("TxtRem")->text(), QStringLiteral("66,67"));
}

QTEST_MAIN(TestForm2Entry)
#include "test_form2_entry.moc"
