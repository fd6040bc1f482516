// Dragging the margin window on a real desktop: X11 with a window manager (openbox), started by
// check_drags.sh. The mouse is driven through the X server (xdotool), so the window manager's
// own move loop runs. Drags start right after each way the margin window appears, at a few
// delays; each must follow the pointer exactly, with the main window docked to its left. A
// plain click on either window's background moves nothing.

#include "shell/Form1.h"

#include "desktop/platform.h"
#include "margin/Form2.h"

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {

// How long the window manager may take to end a move or place a window, on a loaded machine; a
// wait on a condition ends as soon as it holds.
constexpr int settle = 30'000;

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(settle) || process.exitCode() != 0)
        qWarning("xdotool %s failed", qPrintable(arguments.join(QLatin1Char(' '))));
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Where the X server has the window: not Qt's record of it, which may lag.
QRect placeOnScreen(const QWidget *window)
{
    const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                                   QString::number(window->winId())});
    int values[4] = {};
    const char *keys[4] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    for (const QString &line : shell.split(QLatin1Char('\n')))
        for (int i = 0; i < 4; ++i)
            if (line.startsWith(QLatin1String(keys[i])))
                values[i] = line.mid(int(qstrlen(keys[i]))).toInt();
    return {values[0], values[1], values[2], values[3]};
}

void pointerTo(QPoint at)
{
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

// A real click in the middle of an element.
void clickOn(const QWidget *element)
{
    const QWidget *window = element->window();
    pointerTo(placeOnScreen(window).topLeft() + element->mapTo(window, element->rect().center()));
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(150);
}

// A point of the window's background, inside its rounded outline.
QPoint backgroundPoint(const QWidget *window)
{
    for (int y = 8; y < window->height(); y += 4)
        for (int x = window->width() / 3; x < window->width(); x += 4)
            if (!window->childAt(x, y) && window->mask().contains(QPoint(x, y)))
                return {x, y};
    return {};
}

} // namespace

class TestDragDesktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_main;

    QPushButton *button(QWidget *window, const char *name) const
    {
        auto *found = window->findChild<QPushButton *>(QLatin1String(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }

    // A drag of the window by its background, the pointer moved in steps as a hand does.
    void drag(QWidget *window, QPoint by) const
    {
        const QPoint start = placeOnScreen(window).topLeft() + backgroundPoint(window);
        pointerTo(start);
        xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        QTest::qWait(100);
        constexpr int steps = 6;
        for (int i = 1; i <= steps; ++i) {
            pointerTo(start + by * i / steps);
            QTest::qWait(30);
        }
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(!desktop::isMoving(), settle);
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with a window manager (run by check_drags.sh)");
    }

    void marginDragFollowsPointer_data()
    {
        QTest::addColumn<QString>("appearance");
        QTest::addColumn<int>("delay"); // between the appearance and the press, in ms
        for (const char *appearance : {"first opening", "reopening", "after minimise and restore",
                                       "after the main window moved"})
            for (int delay : {0, 60, 250})
                QTest::addRow("%s, %d ms", appearance, delay)
                    << QString::fromLatin1(appearance) << delay;
    }

    void marginDragFollowsPointer()
    {
        QFETCH(QString, appearance);
        QFETCH(int, delay);

        m_main = std::make_unique<Form1>();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), settle));
        QTest::qWait(200);
        QWidget *main = m_main.get();
        clickOn(button(main, "CmdMarge"));
        QWidget *margin = m_main->marginWindow();
        QVERIFY(margin);
        if (appearance != QLatin1String("first opening")) {
            clickOn(button(margin, "CmdMiniMarge"));
            if (appearance == QLatin1String("after minimise and restore")) {
                clickOn(button(main, "CmdMinimise"));
                QTest::qWait(300);
                xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                         QString::number(main->winId())});
                QTest::qWait(300);
            } else if (appearance == QLatin1String("after the main window moved")) {
                drag(main, {-40, 30});
            }
            clickOn(button(main, "CmdMarge"));
        }
        QVERIFY(QTest::qWaitForWindowExposed(margin, settle));
        QTest::qWait(delay);

        const QRect area = margin->screen()->availableGeometry();
        for (const QPoint by : {QPoint(20, 61), QPoint(-35, -40)}) {
            const QRect before = placeOnScreen(margin);
            drag(margin, by);
            // The X server and the window manager may still be placing the two windows.
            QTRY_COMPARE_WITH_TIMEOUT(placeOnScreen(margin).topLeft(), before.topLeft() + by,
                                      settle);
            const QRect after = placeOnScreen(margin);
            QTRY_COMPARE_WITH_TIMEOUT(placeOnScreen(main).topLeft(),
                                      after.topLeft() - QPoint(placeOnScreen(main).width(), 0),
                                      settle);
            const QRect mainAfter = placeOnScreen(main);
            QVERIFY(area.contains(after | mainAfter));
        }
        m_main.reset();
    }

    // A click on the background without moving asks for the window manager's move loop all the
    // same. When the release reaches the program before the window manager takes the pointer,
    // no loop may be left behind, moving the window with the bare pointer and swallowing the
    // next click.
    void plainClickLeavesWindowsInPlace_data()
    {
        QTest::addColumn<bool>("onMarginWindow");
        QTest::newRow("margin window") << true;
        QTest::newRow("main window") << false;
    }

    void plainClickLeavesWindowsInPlace()
    {
        QFETCH(bool, onMarginWindow);

        m_main = std::make_unique<Form1>();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), settle));
        QTest::qWait(200);
        QWidget *main = m_main.get();
        const QRect start = placeOnScreen(main);
        clickOn(button(main, "CmdMarge"));
        QWidget *margin = m_main->marginWindow();
        QVERIFY(margin);
        QVERIFY(QTest::qWaitForWindowExposed(margin, settle));
        const QRect mainOpened = placeOnScreen(main);
        const QRect marginOpened = placeOnScreen(margin);

        QWidget *clicked = onMarginWindow ? margin : main;
        const QPoint press = placeOnScreen(clicked).topLeft() + backgroundPoint(clicked);
        pointerTo(press);
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(150);
        QTRY_VERIFY_WITH_TIMEOUT(!desktop::isMoving(), settle);
        pointerTo(press + QPoint(-60, 150));
        QTest::qWait(300);
        QCOMPARE(placeOnScreen(main), mainOpened);
        QCOMPARE(placeOnScreen(margin), marginOpened);

        // The next press of the button shifts the main window again, the margin window docked.
        clickOn(button(main, "CmdMarge"));
        const QRect mainAfter = placeOnScreen(main);
        QCOMPARE(mainAfter.topLeft(),
                 mainOpened.topLeft() - (start.topLeft() - mainOpened.topLeft()));
        QCOMPARE(placeOnScreen(margin).topLeft(), mainAfter.topRight() + QPoint(1, 0));
        m_main.reset();
    }
};

QTEST_MAIN(TestDragDesktop)
#include "test_drag_desktop.moc"
