// Dragging a borderless window by its background, where the desktop has no move loop of its own
// (as on the headless test platform): the window follows the mouse until the button is released,
// and the docked window follows it without answering back.

#include "desktop/docking.h"
#include "desktop/platform.h"
#include "headless.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>

namespace {

// A borderless window dragged the way the calculator windows are: a press on its background
// starts a drag; afterMove counts, and may place a partner window.
class DragWindow : public QWidget
{
public:
    DragWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    {
        resize(200, 150);
        key = new QPushButton(QStringLiteral("7"), this);
        key->setGeometry(10, 10, 40, 30);
        decoration = new QFrame(this);
        decoration->setGeometry(100, 100, 60, 30);
        decoration->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QPushButton *key;
    QFrame *decoration;
    std::function<void()> partnerFollows;
    int afterMoves = 0;
    int drags = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (!desktop::pressedOnBackground(this, event)) {
            QWidget::mousePressEvent(event);
            return;
        }
        drags += desktop::moveWithMouse(this, event, [this] {
            ++afterMoves;
            if (partnerFollows)
                partnerFollows();
        });
    }
};

// The mouse, driven through the window system as a user's would be: events go to the window
// under the mouse, or to the one that grabbed it.
void press(DragWindow &w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(w.windowHandle(), button, {}, at);
}
// Moves the mouse to a point of the screen given relative to where the window stood when the
// press came, so that the window moving under the mouse does not change the target.
void moveTo(DragWindow &w, QPoint global)
{
    QTest::mouseMove(w.windowHandle(), global - w.windowHandle()->position());
}
void release(DragWindow &w, QPoint global, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(w.windowHandle(), button, {}, global - w.windowHandle()->position());
}

std::unique_ptr<DragWindow> shownAt(QPoint pos)
{
    auto w = std::make_unique<DragWindow>();
    w->move(pos);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qFatal("the window was never shown");
    return w;
}

} // namespace

class TestDragging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }
    void cleanup() { QVERIFY(!desktop::isMoving()); }

    void followsTheMouseUntilReleased_data()
    {
        QTest::addColumn<QList<QPoint>>("moves"); // mouse positions, relative to the press
        QTest::newRow("one step") << QList<QPoint>{{30, 20}};
        QTest::newRow("there and back") << QList<QPoint>{{40, 0}, {40, 40}, {-25, 10}};
        QTest::newRow("no move at all") << QList<QPoint>{};
        QTest::newRow("off the top left") << QList<QPoint>{{-150, -90}};
    }
    void followsTheMouseUntilReleased()
    {
        QFETCH(QList<QPoint>, moves);
        auto w = shownAt({300, 200});
        const QPoint pressAt(150, 60);
        const QPoint pressGlobal = w->mapToGlobal(pressAt);
        press(*w, pressAt);
        QCOMPARE(w->drags, 1);
        QVERIFY(desktop::isMoving());
        QCOMPARE(QWidget::mouseGrabber(), w.get());

        QPoint last;
        for (const QPoint delta : moves) {
            moveTo(*w, pressGlobal + delta);
            QCOMPARE(w->pos(), QPoint(300, 200) + delta);
            last = delta;
        }
        QCOMPARE(w->afterMoves, int(moves.size()));
        release(*w, pressGlobal + last);
        QVERIFY(!desktop::isMoving());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        // Once more at the end, for the docked window.
        QCOMPARE(w->afterMoves, int(moves.size()) + 1);

        // The drag is over: the mouse no longer carries the window.
        moveTo(*w, pressGlobal + last + QPoint(70, 70));
        QCOMPARE(w->pos(), QPoint(300, 200) + last);
    }

    void backIntoView_data()
    {
        QTest::addColumn<QRect>("pair");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QPoint>("move");
        const QList<QRect> one{{0, 0, 800, 600}};
        const QList<QRect> two{{0, 0, 800, 600}, {800, 0, 800, 600}};
        QTest::newRow("all in sight") << QRect(10, 10, 100, 100) << one << QPoint();
        QTest::newRow("a corner left to grab") << QRect(780, 580, 100, 100) << one << QPoint();
        QTest::newRow("a sliver too thin to grab")
            << QRect(790, 10, 100, 100) << one << QPoint(-90, 0);
        QTest::newRow("gone: back on the nearest screen")
            << QRect(1700, -400, 100, 100) << two << QPoint(-200, 400);
        QTest::newRow("larger than the screen: its top left in sight")
            << QRect(2000, 2000, 1000, 700) << one << QPoint(-2000, -2000);
        QTest::newRow("no screen at all") << QRect(5000, 0, 10, 10) << QList<QRect>{} << QPoint();
    }
    void backIntoView()
    {
        QFETCH(QRect, pair);
        QFETCH(QList<QRect>, areas);
        QFETCH(QPoint, move);
        QCOMPARE(dock::backIntoView(pair, areas), move);
    }

    // However far the mouse took it, the window ends where the user can reach it again.
    void endsWithinReach_data()
    {
        QTest::addColumn<QPoint>("by");
        QTest::newRow("far right and down") << QPoint(5000, 4000);
        QTest::newRow("far left and up") << QPoint(-5000, -4000);
    }
    void endsWithinReach()
    {
        QFETCH(QPoint, by);
        auto w = shownAt({300, 200});
        const QPoint pressAt(150, 60);
        const QPoint pressGlobal = w->mapToGlobal(pressAt);
        press(*w, pressAt);
        moveTo(*w, pressGlobal + by);
        release(*w, pressGlobal + by);
        QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry()));
    }

    void onlyTheLeftButtonOnTheBackgroundDrags_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("drags");
        QTest::newRow("background, left") << QPoint(150, 60) << Qt::LeftButton << true;
        QTest::newRow("background, right") << QPoint(150, 60) << Qt::RightButton << false;
        QTest::newRow("background, middle") << QPoint(150, 60) << Qt::MiddleButton << false;
        QTest::newRow("key, left") << QPoint(20, 20) << Qt::LeftButton << false;
        QTest::newRow("decoration, left") << QPoint(120, 110) << Qt::LeftButton << true;
    }
    void onlyTheLeftButtonOnTheBackgroundDrags()
    {
        QFETCH(QPoint, at);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, drags);
        auto w = shownAt({300, 200});
        const QPoint global = w->mapToGlobal(at);
        press(*w, at, button);
        QCOMPARE(w->drags, int(drags));
        QCOMPARE(desktop::isMoving(), drags);
        moveTo(*w, global + QPoint(25, 35));
        QCOMPARE(w->pos(), drags ? QPoint(325, 235) : QPoint(300, 200));
        release(*w, global + QPoint(25, 35), button);
    }

    void dockedWindowFollowsWithoutAnsweringBack()
    {
        auto main = shownAt({100, 100});
        auto margin = shownAt({300, 100});
        // Each window docks the other after its own drag, as the two calculator windows do.
        main->partnerFollows = [&] { margin->move(main->x() + main->width(), main->y()); };
        margin->partnerFollows = [&] { main->move(margin->x() - main->width(), margin->y()); };

        const QPoint global = main->mapToGlobal(QPoint(150, 60));
        press(*main, {150, 60});
        moveTo(*main, global + QPoint(10, 50));
        moveTo(*main, global + QPoint(60, 80));
        release(*main, global + QPoint(60, 80));
        QCOMPARE(main->pos(), QPoint(160, 180));
        QCOMPARE(margin->pos(), QPoint(360, 180));
        QCOMPARE(margin->afterMoves, 0);

        // And the other way round.
        const QPoint marginGlobal = margin->mapToGlobal(QPoint(150, 60));
        press(*margin, {150, 60});
        moveTo(*margin, marginGlobal + QPoint(-40, -30));
        release(*margin, marginGlobal + QPoint(-40, -30));
        QCOMPARE(margin->pos(), QPoint(320, 150));
        QCOMPARE(main->pos(), QPoint(120, 150));
    }

    // Under a window manager the end of a drag may go unseen until the next one starts.
    void aNewDragEndsThePreviousOne()
    {
        auto first = shownAt({100, 100});
        auto second = shownAt({400, 100});
        int firstMoves = 0, secondMoves = 0;
        auto pressOn = [](QWidget *w) {
            return QMouseEvent(QEvent::MouseButtonPress, QPointF(150, 60),
                               QPointF(w->mapToGlobal(QPoint(150, 60))), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
        };
        QMouseEvent pressFirst = pressOn(first.get());
        QVERIFY(desktop::moveWithMouse(first.get(), &pressFirst, [&] { ++firstMoves; }));
        QMouseEvent pressSecond = pressOn(second.get());
        QVERIFY(desktop::moveWithMouse(second.get(), &pressSecond, [&] { ++secondMoves; }));
        QCOMPARE(firstMoves, 1);
        QCOMPARE(secondMoves, 0);
        QVERIFY(desktop::isMoving());
        QCOMPARE(QWidget::mouseGrabber(), second.get());
        release(*second, second->mapToGlobal(QPoint(150, 60)));
        QCOMPARE(firstMoves, 1);
        QCOMPARE(secondMoves, 1);
    }

    // A press while dragging means the release of the dragging button went astray: the drag
    // ends there.
    void aStrayPressEndsTheDrag()
    {
        auto w = shownAt({100, 100});
        const QPoint global = w->mapToGlobal(QPoint(150, 60));
        press(*w, {150, 60});
        moveTo(*w, global + QPoint(20, 0));
        press(*w, QPoint(170, 60) - QPoint(20, 0), Qt::RightButton);
        QVERIFY(!desktop::isMoving());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(w->afterMoves, 2);
        QCOMPARE(w->pos(), QPoint(120, 100));
        release(*w, global + QPoint(20, 0), Qt::RightButton);
        release(*w, global + QPoint(20, 0));
    }

    void hidingTheWindowEndsItsDrag()
    {
        auto w = shownAt({100, 100});
        press(*w, {150, 60});
        w->hide();
        QVERIFY(!desktop::isMoving());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(w->afterMoves, 1);
    }

    void topmostWithoutShowingOrRecreating()
    {
        DragWindow hidden;
        desktop::makeTopmost(&hidden);
        QVERIFY(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(hidden.isHidden());
        hidden.show();
        QVERIFY(hidden.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

        auto shown = shownAt({100, 100});
        const QWindow *handle = shown->windowHandle();
        const WId id = shown->winId();
        desktop::makeTopmost(shown.get());
        desktop::makeTopmost(shown.get());
        QVERIFY(shown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(shown->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->windowHandle(), handle);
        QCOMPARE(shown->winId(), id);
        QCOMPARE(shown->pos(), QPoint(100, 100));
        // Other flags are kept.
        QVERIFY(shown->windowFlags().testFlag(Qt::FramelessWindowHint));
    }
};

QTEST_MAIN(TestDragging)
#include "test_dragging.moc"
