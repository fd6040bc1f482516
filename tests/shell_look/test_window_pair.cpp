// The real calculator windows together, offscreen: their outlines, dragging either one by its
// background with the other docked to it, the navigation buttons, minimising and quitting.

#include "desk/desk.h"
#include "shell/Form1.h"

#include "headless.h"

#include "desktop/docking.h"
#include "margin/Form2.h"
#include "options/frmAbout.h"
#include "vat/vatkeys.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

bool topmost(const QWidget *w)
{
    return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// A press at a point of the window, a move of the mouse by delta and the release, through the
// window system so that the press lands on whatever element is there.
void drag(QWidget *w, QPoint at, QPoint delta, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow *window = w->windowHandle();
    const QPoint to = window->mapToGlobal(at) + delta;
    QTest::mousePress(window, button, {}, at);
    QTest::mouseMove(window, to - window->position());
    QTest::mouseRelease(window, button, {}, to - window->position());
}

} // namespace

class TestWindowPair : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_main;

    template <typename T = QWidget> T *element(QWidget *window, const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    void click(QWidget *window, const char *name) const
    {
        QTest::mouseClick(element<QAbstractButton>(window, name), Qt::LeftButton);
    }
    // A point of the main window where no element lies.
    static constexpr QPoint mainBackground{8, 150};
    static constexpr QPoint marginBackground{150, 20};

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }
    void init()
    {
        m_main = std::make_unique<Form1>();
        m_main->move(300, 200);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QVERIFY(!m_main->childAt(mainBackground));
    }
    void cleanup() { m_main.reset(); }

    void outlinesOfBothWindows()
    {
        QCOMPARE(m_main->mask().boundingRect(), QRect(1, 1, 214, 329));
        click(m_main.get(), "CmdMarge");
        QCOMPARE(m_main->marginWindow()->mask().boundingRect(), QRect(1, 1, 401, 327));
    }

    void onlyTheBackgroundDragsTheMainWindow_data()
    {
        QTest::addColumn<QString>("element"); // empty: the background
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("background, left") << QString() << Qt::LeftButton << true;
        QTest::newRow("background, right") << QString() << Qt::RightButton << false;
        QTest::newRow("a key") << "C5" << Qt::LeftButton << false;
        QTest::newRow("a VAT key") << "CmdTTC" << Qt::LeftButton << false;
        QTest::newRow("the display") << "Text1" << Qt::LeftButton << false;
        QTest::newRow("the version label") << "Label1" << Qt::LeftButton << false;
        QTest::newRow("the VAT frame") << "FrmTVA" << Qt::LeftButton << false;
    }
    void onlyTheBackgroundDragsTheMainWindow()
    {
        QFETCH(QString, element);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, moves);
        QPoint at = mainBackground;
        if (!element.isEmpty()) {
            QWidget *target = m_main->findChild<QWidget *>(element);
            QVERIFY(target);
            // The frame's lower edge, below its buttons.
            const QPoint inside = element == QLatin1String("FrmTVA")
                                      ? QPoint(target->width() / 2, target->height() - 4)
                                      : target->rect().center();
            at = target->mapTo(m_main.get(), inside);
            QCOMPARE(m_main->childAt(at), target);
        }
        drag(m_main.get(), at, {30, 40}, button);
        QCOMPARE(m_main->pos(), moves ? QPoint(330, 240) : QPoint(300, 200));
        QCOMPARE(topmost(m_main.get()), moves);
    }

    void draggingTheMainWindowDocksTheMarginWindow()
    {
        click(m_main.get(), "CmdMarge");
        Form2 *margin = m_main->marginWindow();
        QVERIFY(margin && margin->isVisible());
        QCOMPARE(m_main->pos(), QPoint(300 - 201, 200));
        QCOMPARE(margin->pos(), QPoint(300 - 201 + 219, 200));

        drag(m_main.get(), mainBackground, {-40, 25});
        QCOMPARE(m_main->pos(), QPoint(59, 225));
        QCOMPARE(margin->pos(), dock::marginWindowPlace(m_main->geometry()));
        QVERIFY(!topmost(margin));

        // Hidden by its own button, the margin window is still carried along...
        click(margin, "CmdMiniMarge");
        QVERIFY(margin->isHidden());
        QCOMPARE(m_main->pos(), QPoint(59 + 201, 225));
        drag(m_main.get(), mainBackground, {100, -50});
        QCOMPARE(margin->pos(), dock::marginWindowPlace(m_main->geometry()));
        QVERIFY(margin->isHidden());
        // ... and shows up beside the main window again.
        click(m_main.get(), "CmdMarge");
        QVERIFY(margin->isVisible());
        QCOMPARE(margin->pos(), dock::marginWindowPlace(m_main->geometry()));
    }

    void draggingTheMarginWindowBringsTheMainWindow()
    {
        click(m_main.get(), "CmdMarge");
        Form2 *margin = m_main->marginWindow();
        QVERIFY(!margin->childAt(marginBackground));
        const QPoint before = margin->pos();
        drag(margin, marginBackground, {60, -30});
        QCOMPARE(margin->pos(), before + QPoint(60, -30));
        QCOMPARE(m_main->pos(), dock::mainWindowPlace(margin->geometry(), m_main->width()));
        QCOMPARE(m_main->geometry().right() + 1, margin->geometry().left());
        QVERIFY(topmost(margin));
        QVERIFY(!topmost(m_main.get()));
    }

    void marginButtonShiftsEachTime()
    {
        click(m_main.get(), "CmdMarge");
        Form2 *margin = m_main->marginWindow();
        click(m_main.get(), "CmdMarge");
        QCOMPARE(m_main->marginWindow(), margin);
        QCOMPARE(m_main->pos(), QPoint(300 - 402, 200));
        QCOMPARE(margin->pos(), dock::marginWindowPlace(m_main->geometry()));
    }

    void minimisingHidesTheOthersForGood()
    {
        // Before the other windows exist, there is nothing to hide.
        click(m_main.get(), "CmdMinimise");
        QVERIFY(m_main->isMinimized());
        QVERIFY(!m_main->marginWindow() && !m_main->optionsWindow());
        m_main->showNormal();

        click(m_main.get(), "CmdMarge");
        click(m_main.get(), "CmdOption");
        QVERIFY(m_main->marginWindow()->isVisible());
        QVERIFY(m_main->optionsWindow()->isVisible());
        click(m_main.get(), "CmdMinimise");
        QVERIFY(m_main->isMinimized());
        QVERIFY(m_main->marginWindow()->isHidden());
        QVERIFY(m_main->optionsWindow()->isHidden());

        m_main->showNormal();
        QCoreApplication::sendPostedEvents();
        QVERIFY(!m_main->isMinimized());
        QVERIFY(m_main->marginWindow()->isHidden());
        QVERIFY(m_main->optionsWindow()->isHidden());
    }

    void optionsWindowIsMadeAfreshAfterClosing()
    {
        click(m_main.get(), "CmdOption");
        QPointer<frmAbout> first = m_main->optionsWindow();
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->parent());
        click(m_main.get(), "CmdOption");
        QCOMPARE(m_main->optionsWindow(), first.data());

        // Both work on the main window's desk: rates it takes reach the main window's caption,
        // and the options window made afresh shows them.
        m_main->desk().resumeRates({vat::Rate::fromNumber(5.5), QStringLiteral("7")});
        QCOMPARE(m_main->vatCaption(), QStringLiteral("      Taux de TVA : 5,5 %"));

        first->close();
        QTRY_VERIFY(!first);
        QVERIFY(!m_main->optionsWindow());
        click(m_main.get(), "CmdOption");
        QVERIFY(m_main->optionsWindow());
        QVERIFY(m_main->optionsWindow()->isVisible());
        QCOMPARE(m_main->optionsWindow()->findChild<QLineEdit *>("TxtTVA1")->text(),
                 QStringLiteral("5,5"));
    }

    void quittingEndsAtOnce()
    {
        click(m_main.get(), "CmdOption");
        QPointer<frmAbout> options = m_main->optionsWindow();
        element<QLineEdit>(options, "TxtTVA1")->setText(QStringLiteral("7"));
        QFile rates(QCoreApplication::applicationDirPath() + QStringLiteral("/Taux.ini"));
        const QByteArray before = rates.open(QIODevice::ReadOnly) ? rates.readAll() : QByteArray();
        rates.close();

        QTimer::singleShot(0, m_main.get(), [this] { click(m_main.get(), "CmdQuitte"); });
        QCOMPARE(QCoreApplication::exec(), 0);
        // No window was asked to close, nothing was written.
        QVERIFY(options && options->isVisible());
        QVERIFY(m_main->isVisible());
        const QByteArray after = rates.open(QIODevice::ReadOnly) ? rates.readAll() : QByteArray();
        QCOMPARE(after, before);
    }

    void theOtherWindowsGoWithTheMainWindow()
    {
        click(m_main.get(), "CmdMarge");
        click(m_main.get(), "CmdOption");
        QPointer<QWidget> margin = m_main->marginWindow();
        QPointer<QWidget> options = m_main->optionsWindow();
        m_main.reset();
        QVERIFY(!margin);
        QVERIFY(!options);
    }
};

QTEST_MAIN(TestWindowPair)
#include "test_window_pair.moc"
