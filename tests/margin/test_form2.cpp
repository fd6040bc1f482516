// The margin window as created, the roles of its fields after every change of set-up, and its
// docking beside the main window, dragging and closing.

#include "form2fixture.h"

#include <QApplication>
#include <QLabel>

namespace {
const QStringList setupButtons = {"Option1", "Option2", "Option3", "Option4", "OpPA", "OpPv"};
} // namespace

class TestForm2 : public Form2Fixture
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void windowAsCreated();
    void setUpTransitions_data();
    void setUpTransitions();
    void priceLabelsFollowVatBoxes();
    void disabledOptionIgnoresClicks();

    void closingMovesMainWindowBack();
    void draggingReDocksMainWindow();
    void onlyLeftPressOnBackgroundStartsDrag_data();
    void onlyLeftPressOnBackgroundStartsDrag();
};

void TestForm2::windowAsCreated()
{
    QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_form->isWindow());
    // The rounded outline leaves the corners out but keeps the middle.
    QVERIFY(!m_form->mask().isEmpty());
    QVERIFY(!m_form->mask().contains(QPoint(1, 1)));
    QVERIFY(m_form->mask().contains(QPoint(200, 160)));
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestForm2::setUpTransitions_data()
{
    QTest::addColumn<QStringList>("clicks");
    // Roles of TxtAchat, TxtVente, TxtTauxMarge, TxtTauxMarque, TxtCoef, TxtMargeBrute.
    QTest::addColumn<QString>("fields");
    // States of Option1, Option2, Option3, Option4, OpPA, OpPv.
    QTest::addColumn<QString>("buttons");

    // The rules of each set-up are the logic's (test_marginmodes); here every click handler is
    // seen to run it, empty the fields and show the set-up that results.
    QTest::newRow("created") << QStringList{} << "EERRRR"
                             << "dddddd";
    QTest::newRow("Check1 ticked, then cleared") << QStringList{"Check1", "Check1"} << "EERRRR"
                                                 << "dddddd";
    QTest::newRow("every quantity and both prices")
        << QStringList{"Check1", "Option1", "Option2", "Option4", "OpPv", "OpPA", "Option3"}
        << "EHHHEH"
        << "eeSeSe";
    QTest::newRow("PA TTC, PV TTC") << QStringList{"Check1", "OpPv", "Check2", "Check3"} << "HEHHEH"
                                    << "eeSeeS";
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
