// The tape window from the main window: Ctrl+R opens it docked to the calculator's left and
// closes it again, a plain "r" does nothing, and the window comes back where the user left it.
#include "desk/desk.h"
#include "shell/Form1.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tapewindow/TapeWindow.h"

#include "headless.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <memory>

class TestTapeShell : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_main;

    void openMainWindow()
    {
        m_main = std::make_unique<Form1>();
        m_main->move(500, 100); // room on its left for the tape
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }
    void pressCtrlR() { QTest::keyClick(m_main.get(), Qt::Key_R, Qt::ControlModifier); }
    QString shown() const { return m_main->findChild<QLineEdit *>("Text1")->text(); }

private slots:
    void initTestCase()
    {
        headless::quietPlatformLimits();
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear(); // the test's own settings file: no place remembered yet
    }
    void init() { openMainWindow(); }
    void cleanup() { m_main.reset(); }

    void ctrlROpensDockedAndCloses()
    {
        QVERIFY(!m_main->tapeWindow()); // nothing of it before it is used
        QVERIFY(!m_main->desk().tape().isLoaded());
        pressCtrlR();
        TapeWindow *window = m_main->tapeWindow();
        QVERIFY(window);
        QVERIFY(m_main->tapeWindowOpen());
        QVERIFY(m_main->desk().tape().isLoaded());
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_COMPARE(window->frameGeometry().right() + 1, m_main->frameGeometry().left());
        QCOMPARE(window->frameGeometry().top(), m_main->frameGeometry().top());
        QCOMPARE(window->frameGeometry().height(), m_main->frameGeometry().height());

        // Lines the calculator writes show at once, the result last and in bold.
        const int rows = window->lines()->model()->rowCount();
        for (const char *key : {"C1", "plus", "C2", "egal"})
            QTest::mouseClick(m_main->findChild<QAbstractButton *>(key), Qt::LeftButton);
        const QAbstractItemModel *model = window->lines()->model();
        QVERIFY(model->rowCount() >= rows + 3);
        const QModelIndex last = model->index(model->rowCount() - 1, 0);
        QCOMPARE(last.data(tape::TapeModel::AmountRole).toString().trimmed(), QStringLiteral("3"));
        QVERIFY(last.data(tape::TapeModel::ResultRole).toBool());

        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        pressCtrlR();
        QVERIFY(!m_main->tapeWindowOpen());
        QCOMPARE(m_main->tapeWindow(), window); // kept for next time
        pressCtrlR();
        QVERIFY(m_main->tapeWindowOpen());
    }

    // The window's context menu opens and closes the tape too, its entry ticked while it is open.
    void menuEntryTicksWhileOpen()
    {
        auto *display = m_main->findChild<QWidget *>(QStringLiteral("Text1"));
        const auto openMenu = [&]() -> QMenu * {
            QTest::mouseClick(m_main->windowHandle(), Qt::RightButton, {},
                              display->mapTo(m_main.get(), display->rect().center()));
            auto *menu = m_main->findChild<QMenu *>(QStringLiteral("mnuContexte"));
            return menu && menu->isVisible() ? menu : nullptr;
        };
        for (const bool opens : {true, false}) {
            QMenu *menu = openMenu();
            QVERIFY(menu);
            auto *ruban = menu->findChild<QAction *>(QStringLiteral("mnuRuban"));
            QVERIFY(ruban);
            QCOMPARE(ruban->isChecked(), !opens);
            ruban->trigger();
            menu->hide();
            QCOMPARE(m_main->tapeWindowOpen(), opens);
            m_main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        }
    }

    void plainRChangesNothing()
    {
        QTest::keyClicks(m_main.get(), "12");
        const QString before = shown();
        QTest::keyClick(m_main.get(), Qt::Key_R);
        QTest::keyClick(m_main.get(), Qt::Key_R, Qt::ShiftModifier);
        QCOMPARE(shown(), before);
        QVERIFY(!m_main->tapeWindow());
        QTest::keyClicks(m_main.get(), "3");
        QCOMPARE(shown(), before + "3");
    }

    void comesBackWhereLeft()
    {
        m_main->toggleTapeWindow();
        TapeWindow *window = m_main->tapeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect place(40, 60, window->width() + 30, window->height() - 20);
        window->setGeometry(place);
        QTRY_COMPARE(window->geometry(), place);
        m_main->toggleTapeWindow();
        QVERIFY(!window->isVisible());

        // The next run of the program.
        m_main.reset();
        openMainWindow();
        m_main->toggleTapeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main->tapeWindow()));
        QCOMPARE(m_main->tapeWindow()->geometry(), place);
    }
};

QTEST_MAIN(TestTapeShell)
#include "test_tapeshell.moc"
