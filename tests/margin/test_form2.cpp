// The real margin window, offscreen, driven through its widgets: the look as created, the roles
// of the fields after every change of set-up, typing through the key filter, "Calculer" in both
// calculators, dragging, docking and closing.

#include "margin/Form2.h"

#include "margin/margincalc.h"
#include "shell/docking.h"
#include "vat/rate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

const QStringList marginFields = {"TxtAchat",      "TxtVente", "TxtTauxMarge",
                                  "TxtTauxMarque", "TxtCoef",  "TxtMargeBrute"};
const QStringList setupButtons = {"Option1", "Option2", "Option3", "Option4", "OpPA", "OpPv"};

const QRgb yellow = 0xFFFFC0;
const QRgb cyan = 0xC0FFFF;

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAsCreated();
    void elementsAsCreated_data();
    void elementsAsCreated();
    void tabOrder();

    void setUpTransitions_data();
    void setUpTransitions();
    void priceLabelsFollowVatBoxes();
    void disabledOptionIgnoresClicks();

    void keyFilterOnEveryNumberField();
    void clickEmptiesFieldLockedOrNot();
    void marginComputedThroughWidgets_data();
    void marginComputedThroughWidgets();
    void firstRateAsTextWithComma();
    void resultOutOfRangeIsNotShown();
    void razKeepsSetUpAndShownResults();

    void priceChangeThroughWidgets();

    void closingMovesMainWindowBack();
    void draggingReDocksMainWindow();
    void onlyLeftPressOnBackgroundStartsDrag_data();
    void onlyLeftPressOnBackgroundStartsDrag();

private:
    template <typename T = QWidget> T *w(const QString &name) const
    {
        T *found = m_form->findChild<T *>(name);
        if (!found)
            qFatal("no element %s", qPrintable(name));
        return found;
    }
    QLineEdit *edit(const QString &name) const { return w<QLineEdit>(name); }
    void click(const QString &name) const
    {
        QWidget *target = w(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    // Clicks a field (which empties it), then types through the key filter.
    void type(const QString &name, const QString &keys) const
    {
        click(name);
        QTest::keyClicks(edit(name), keys);
    }
    QString fieldLook(const QString &name) const;
    QString buttonState(const QString &name) const;

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<Form2> m_form;
};

void TestForm2::init()
{
    vat::sharedRates().TauxTVA1 = vat::Rate::fromNumber(19.6);
    m_main = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_main->resize(219, 328);
    m_main->move(300, 200);
    m_form = std::make_unique<Form2>(m_main.get());
    m_form->move(dock::marginWindowPlace(m_main->geometry()));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm2::cleanup()
{
    m_form.reset();
    m_main.reset();
}

// E: entry (shown, yellow, unlocked); R: result (shown, cyan, locked); H: hidden result.
QString TestForm2::fieldLook(const QString &name) const
{
    const QLineEdit *field = edit(name);
    const QRgb colour = field->palette().color(QPalette::Base).rgb() & 0xFFFFFF;
    if (!field->isHidden() && colour == yellow && !field->isReadOnly())
        return QStringLiteral("E");
    if (!field->isHidden() && colour == cyan && field->isReadOnly())
        return QStringLiteral("R");
    if (field->isHidden() && colour == cyan && field->isReadOnly())
        return QStringLiteral("H");
    return QStringLiteral("?");
}

// d: disabled, e: enabled, S: enabled and selected, x: disabled yet selected (never right).
QString TestForm2::buttonState(const QString &name) const
{
    const auto *button = w<QAbstractButton>(name);
    if (button->isChecked())
        return button->isEnabled() ? QStringLiteral("S") : QStringLiteral("x");
    return button->isEnabled() ? QStringLiteral("e") : QStringLiteral("d");
}

void TestForm2::windowAsCreated()
{
    QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_form->isWindow());
    QCOMPARE(m_form->size(), QSize(402, 328));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Form2"));
    // The rounded outline leaves the corners out but keeps the middle.
    QVERIFY(!m_form->mask().isEmpty());
    QVERIFY(!m_form->mask().contains(QPoint(1, 1)));
    QVERIFY(m_form->mask().contains(QPoint(200, 160)));
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestForm2::elementsAsCreated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("state"); // E/R/H for fields, d/e/S for buttons, "" otherwise

    auto row = [](const char *name, const char *container, const char *text, const char *tip,
                  const char *state) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(container)
                            << QString::fromUtf8(text) << QString::fromUtf8(tip)
                            << QString::fromLatin1(state);
    };
    row("OptionRem", "Frame4", "Remise", "", "S");
    row("OptionHausse", "Frame4", "Hausse", "", "e");
    row("TxtN1", "Frame4", "", "Valeur1  =  valeur2  *  [(1- taux de remise) /100]", "E");
    row("TxtN2", "Frame4", "", "", "E");
    row("CheckTaux", "Frame4", "Taux    fixe", "", "e");
    row("TxtRem", "Frame4", "0", " = 100 - [(valeur1 / valeur2) * 100)]    ", "R");
    row("CmdCalculer2", "Frame4", "Calculer", "", "e");
    row("CmdRaz2", "Frame4", "RAZ", "", "e");
    row("TxtAchat", "Frame1", "", "", "E");
    row("LblPAHT", "Frame1", "HT", "", "");
    row("OpPA", "Frame1", "Option5", "", "d");
    row("TxtVente", "Frame2", "", "", "E");
    row("LblPVHT", "Frame2", "HT", "", "");
    row("TxtTauxMarge", "Frame3", "0", " Par rapport au prix d'achat HT ", "R");
    row("TxtTauxMarque", "Frame3", "0", " Par rapport au prix de vente HT ", "R");
    row("Label1", "Frame3", " T de marge    T de marque", "", "");
    row("TxtMargeBrute", "Frame5", "0", " Marge brute =  PVHT - PAHT  ", "R");
    row("Label3", "Frame5", "Marge brute HT", "", "");
    row("TxtCoef", "Frame6", "0", " Coefficient = PVHT/PAHT  ", "R");
    row("Label4", "Frame6", "Coefficient", "", "");
    row("OpPv", "Form2", "Option6", "", "d");
    row("CmdCalcul1", "Form2", "Calculer", "", "e");
    row("cmdRaz", "Form2", "RAZ", "", "e");
    row("CmdMiniMarge", "Form2", "", " Fermer les options", "e");
    row("Check1", "Frame7", "Check1", "", "e");
    row("Option1", "Frame7", "Taux  marge fixe", " Tmarge = 100* (Marge Brute/PAHT) ", "d");
    row("Option2", "Frame7", "Taux marque fixe", "T marque = 100 * (marge brute/PVHT)", "d");
    row("Option3", "Frame7", "Coef fixe", " Coefficient = PVHT/PAHT ", "d");
    row("Option4", "Frame7", "Marge brute fixe", " Marge brute =  PVHT - PAHT ", "d");
    row("Check2", "Frame8", "PA TTC", "", "e");
    row("Check3", "Frame8", "PV TTC", "", "e");
    row("Frame7", "Form2", "Options", "", "");
    row("Frame1", "Form2", "Prix d'achat", "", "");
    row("Frame2", "Form2", "Prix de Vente", "", "");
    row("Frame3", "Form2", "Taux", "", "");
    row("Frame8", "Frame7", "", "", "");
}

void TestForm2::elementsAsCreated()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(QString, state);

    QWidget *element = w(name);
    QCOMPARE(element->parentWidget()->objectName(), container);
    QCOMPARE(element->toolTip(), tip);
    if (auto *field = qobject_cast<QLineEdit *>(element)) {
        QCOMPARE(field->text(), text);
        QCOMPARE(field->alignment(), Qt::AlignCenter);
        QCOMPARE(fieldLook(name), state);
    } else if (auto *button = qobject_cast<QAbstractButton *>(element)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(buttonState(name), state);
    } else if (auto *label = qobject_cast<QLabel *>(element)) {
        QCOMPARE(label->text(), text);
    } else if (auto *frame = qobject_cast<QGroupBox *>(element)) {
        QCOMPARE(frame->title(), text);
    }
}

void TestForm2::tabOrder()
{
    const QStringList expected = {
        "CmdRaz2",    "TxtRem",    "CmdCalculer2",  "TxtN2",         "TxtN1",        "cmdRaz",
        "CmdCalcul1", "TxtCoef",   "TxtMargeBrute", "TxtTauxMarque", "TxtTauxMarge", "TxtVente",
        "TxtAchat",   "OptionRem", "OptionHausse",  "CheckTaux",     "Option1",      "Option2",
        "Option3",    "Option4",   "CmdMiniMarge",  "Check1",        "OpPA",         "OpPv",
        "Check2",     "Check3"};
    QStringList chain;
    for (QWidget *next = m_form->nextInFocusChain(); next != m_form.get();
         next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus)
            chain << next->objectName();
    }
    QCOMPARE(chain, expected);
    QCOMPARE(m_form->focusWidget(), w("CmdRaz2"));
}

void TestForm2::setUpTransitions_data()
{
    QTest::addColumn<QStringList>("clicks");
    // Roles of TxtAchat, TxtVente, TxtTauxMarge, TxtTauxMarque, TxtCoef, TxtMargeBrute.
    QTest::addColumn<QString>("fields");
    // States of Option1, Option2, Option3, Option4, OpPA, OpPv.
    QTest::addColumn<QString>("buttons");

    QTest::newRow("created") << QStringList{} << "EERRRR"
                             << "dddddd";
    QTest::newRow("Check1 ticked") << QStringList{"Check1"} << "EHHHEH"
                                   << "eeSeSe";
    QTest::newRow("Check1 cleared") << QStringList{"Check1", "Check1"} << "EERRRR"
                                    << "dddddd";
    QTest::newRow("ticked again") << QStringList{"Check1", "Check1", "Check1"} << "EHHHEH"
                                  << "eeSeSe";
    QTest::newRow("margin rate") << QStringList{"Check1", "Option1"} << "EHEHHH"
                                 << "Seeedd";
    QTest::newRow("mark-up rate") << QStringList{"Check1", "Option2"} << "HEHEHH"
                                  << "eSeedd";
    QTest::newRow("gross margin") << QStringList{"Check1", "Option4"} << "EHHHHE"
                                  << "eeeSSe";
    QTest::newRow("coef, selling") << QStringList{"Check1", "OpPv"} << "HEHHEH"
                                   << "eeSeeS";
    QTest::newRow("coef, selling, back to purchase")
        << QStringList{"Check1", "OpPv", "OpPA"} << "EHHHEH"
        << "eeSeSe";
    QTest::newRow("gross margin keeps selling")
        << QStringList{"Check1", "OpPv", "Option4"} << "HEHHHE"
        << "eeeSeS";
    QTest::newRow("gross margin, selling") << QStringList{"Check1", "Option4", "OpPv"} << "HEHHHE"
                                           << "eeeSeS";
    QTest::newRow("margin rate drops the price choice")
        << QStringList{"Check1", "OpPv", "Option1"} << "EHEHHH"
        << "Seeedd";
    QTest::newRow("coef after margin rate takes purchase")
        << QStringList{"Check1", "OpPv", "Option1", "Option3"} << "EHHHEH"
        << "eeSeSe";
    QTest::newRow("gross margin after mark-up rate takes purchase")
        << QStringList{"Check1", "Option2", "Option4"} << "EHHHHE"
        << "eeeSSe";
    QTest::newRow("free from mark-up rate")
        << QStringList{"Check1", "Option2", "Check1"} << "EERRRR"
        << "dddddd";
    QTest::newRow("free from selling given") << QStringList{"Check1", "OpPv", "Check1"} << "EERRRR"
                                             << "dddddd";
    QTest::newRow("PA TTC in free mode") << QStringList{"Check2"} << "EERRRR"
                                         << "dddddd";
    QTest::newRow("PV TTC in gross margin")
        << QStringList{"Check1", "Option4", "Check3"} << "EHHHHE"
        << "eeeSSe";
}

void TestForm2::setUpTransitions()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, fields);
    QFETCH(QString, buttons);

    for (const QString &name : clicks) {
        // Whatever was typed is lost on every change of set-up.
        for (const QString &field : marginFields)
            edit(field)->setText(QStringLiteral("7"));
        click(name);
        for (const QString &field : marginFields)
            QVERIFY2(edit(field)->text().isEmpty(), qPrintable(name + " left " + field));
    }
    QString looks;
    for (const QString &field : marginFields)
        looks += fieldLook(field);
    QCOMPARE(looks, fields);
    QString states;
    for (const QString &button : setupButtons)
        states += buttonState(button);
    QCOMPARE(states, buttons);
}

void TestForm2::priceLabelsFollowVatBoxes()
{
    auto look = [this](const char *name) {
        const QLabel *label = w<QLabel>(name);
        return label->text() + QLatin1Char(' ') +
               QString::number(label->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, 16);
    };
    QCOMPARE(look("LblPAHT"), QStringLiteral("HT 0"));
    QCOMPARE(look("LblPVHT"), QStringLiteral("HT 400000"));
    click("Check2");
    QCOMPARE(look("LblPAHT"), QStringLiteral("TTC ff0000"));
    click("Check3");
    QCOMPARE(look("LblPVHT"), QStringLiteral("TTC ff0000"));
    click("Check2");
    QCOMPARE(look("LblPAHT"), QStringLiteral("HT 400000"));
    QCOMPARE(look("LblPVHT"), QStringLiteral("TTC ff0000"));
}

void TestForm2::disabledOptionIgnoresClicks()
{
    edit("TxtAchat")->setText(QStringLiteral("80"));
    click("Option2");
    click("OpPv");
    QCOMPARE(buttonState("Option2"), QStringLiteral("d"));
    QCOMPARE(buttonState("OpPv"), QStringLiteral("d"));
    QCOMPARE(edit("TxtAchat")->text(), QStringLiteral("80"));
}

void TestForm2::keyFilterOnEveryNumberField()
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

void TestForm2::clickEmptiesFieldLockedOrNot()
{
    // TxtRem is a locked result holding "0" in rate mode; the margin results too.
    for (const char *name : {"TxtRem", "TxtCoef", "TxtAchat"}) {
        edit(name)->setText(QStringLiteral("12.5"));
        click(name);
        QCOMPARE(edit(name)->text(), QString());
    }
}

void TestForm2::marginComputedThroughWidgets_data()
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

void TestForm2::marginComputedThroughWidgets()
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

void TestForm2::firstRateAsTextWithComma()
{
    // The rates handed over by the options window are texts with the regional mark.
    vat::sharedRates().TauxTVA1 = vat::Rate::fromText(QStringLiteral("5,5"));
    click("Check3");
    type("TxtAchat", "100");
    type("TxtVente", "211");
    click("CmdCalcul1");
    QCOMPARE(edit("TxtMargeBrute")->text(), QStringLiteral("100"));
    QCOMPARE(edit("TxtCoef")->text(), QStringLiteral("2"));

    // Without a usable first rate nothing is computed from a price with VAT.
    vat::sharedRates().TauxTVA1 = vat::Rate::fromText(QStringLiteral("   NON   "));
    click("cmdRaz");
    type("TxtAchat", "100");
    type("TxtVente", "211");
    click("CmdCalcul1");
    for (const char *name : {"TxtTauxMarge", "TxtTauxMarque", "TxtCoef", "TxtMargeBrute"})
        QCOMPARE(edit(name)->text(), QString());
}

void TestForm2::resultOutOfRangeIsNotShown()
{
    type("TxtAchat", QString(400, QLatin1Char('9')));
    type("TxtVente", "100");
    click("CmdCalcul1");
    for (const char *name : {"TxtTauxMarge", "TxtTauxMarque", "TxtCoef", "TxtMargeBrute"})
        QCOMPARE(edit(name)->text(), QStringLiteral("0"));
}

void TestForm2::razKeepsSetUpAndShownResults()
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

void TestForm2::priceChangeThroughWidgets()
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

void TestForm2::closingMovesMainWindowBack()
{
    // The main window as it stands after the "Options" button moved it left by half our width.
    const QPoint before(300, 200);
    m_main->move(before + QPoint(dock::openingShift(m_form->width()), 0));
    m_form->move(dock::marginWindowPlace(m_main->geometry()));
    QCOMPARE(m_form->pos(), QPoint(300 - 201 + 219, 200));

    click("CmdMiniMarge");
    QCOMPARE(m_main->pos(), before);
    QVERIFY(m_form->isHidden());

    // Opened twice, closed once: the main window stays one half width to the left.
    m_main->move(m_main->pos() + QPoint(2 * dock::openingShift(m_form->width()), 0));
    m_form->show();
    click("CmdMiniMarge");
    QCOMPARE(m_main->pos(), QPoint(300 - 201, 200));
}

void TestForm2::draggingReDocksMainWindow()
{
    m_form->move(640, 90);
    m_form->dockMainWindow();
    QCOMPARE(m_main->pos(), QPoint(640 - 219, 90));
    QCOMPARE(m_main->geometry().right() + 1, m_form->geometry().left());

    // Also when the margin window is hidden.
    m_form->hide();
    m_form->move(100, 400);
    m_form->dockMainWindow();
    QCOMPARE(m_main->pos(), QPoint(100 - 219, 400));
}

void TestForm2::onlyLeftPressOnBackgroundStartsDrag_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("topmost");

    QTest::newRow("background, left") << QPoint(150, 20) << int(Qt::LeftButton) << true;
    QTest::newRow("white frame, left") << QPoint(18, 200) << int(Qt::LeftButton) << true;
    QTest::newRow("background, right") << QPoint(150, 20) << int(Qt::RightButton) << false;
    QTest::newRow("on a frame") << QPoint(266, 110) << int(Qt::LeftButton) << false;
    QTest::newRow("on a label") << QPoint(40, 228) << int(Qt::LeftButton) << false;
    QTest::newRow("on a button") << QPoint(200, 275) << int(Qt::LeftButton) << false;
}

void TestForm2::onlyLeftPressOnBackgroundStartsDrag()
{
    QFETCH(QPoint, at);
    QFETCH(int, button);
    QFETCH(bool, topmost);

    QTest::mousePress(m_form.get(), Qt::MouseButton(button), {}, at);
    QCOMPARE(bool(m_form->windowFlags() & Qt::WindowStaysOnTopHint), topmost);
    QTest::mouseRelease(m_form.get(), Qt::MouseButton(button), {}, at);
}

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
