#include "windowdrag.h"

#include "docking.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <utility>

#if TARVEX_X11_MOVE_LOOP && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace desktop {

bool pressedOnBackground(const QWidget *window, const QMouseEvent *press)
{
    return window->childAt(press->position().toPoint()) == nullptr;
}

namespace {

// Calls off the X11 window manager's move loop for the window. The window manager takes the
// pointer only once it reads the program's request, made on the press; a release that comes
// before that reaches the program instead, and the loop then starts with the button already up:
// it moves the window with the bare pointer and swallows the next click, which it takes for the
// end of the move. Qt calls the loop off itself when it reads that release after the request,
// but not when the release was read together with the press. A window manager that took the
// pointer in time leaves the program no release to see, so calling off its loop once it is over
// changes nothing.
void callOffDesktopMove(const QWidget *window)
{
#if TARVEX_X11_MOVE_LOOP && QT_CONFIG(xcb)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window || !window->windowHandle())
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    static constexpr char name[] = "_NET_WM_MOVERESIZE";
    const auto atomAsked = xcb_intern_atom(connection, 1, sizeof name - 1, name);
    const auto treeAsked = xcb_query_tree(connection, id);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomAsked, nullptr), &std::free);
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(connection, treeAsked, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE || !tree)
        return;
    constexpr quint32 cancel = 11; // _NET_WM_MOVERESIZE_CANCEL
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom->atom;
    message.data.data32[2] = cancel;
    xcb_send_event(connection, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

// One drag of a window by its background. Without a window manager this object moves the window
// itself. Under one, the desktop moves it and tells the program nothing of its loop: this object
// follows the window's moves (some desktops report them as the window goes, others only once it
// is dropped), and takes the mouse's next sign of life (the button's release, a new press, a
// move with no button held) for the end of the loop. The window's last move may come just after
// that, so the drag settles for a moment before it ends.
class WindowDrag : public QObject
{
public:
    enum class Mode
    {
        Desktop, // the window manager's own move loop
        Manual,  // the window follows the mouse, grabbed by this object
    };

    WindowDrag(QWidget *window, QWidget *partner, Mode mode, QPoint pressGlobal, QPoint startPos,
               std::function<void()> afterMove)
        : QObject(window), m_window(window), m_partner(partner), m_mode(mode),
          m_pressGlobal(pressGlobal), m_startPos(startPos), m_afterMove(std::move(afterMove))
    {
        // The application's filter sees every event, the window's own ones included.
        qApp->installEventFilter(this);
        if (m_mode == Mode::Manual)
            window->grabMouse();
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &WindowDrag::finish);
        // A drag whose end was never seen ends after a long quiet spell all the same.
        m_timer.start(quietSpell);
    }

    ~WindowDrag() override
    {
        if (qApp)
            qApp->removeEventFilter(this);
    }

    // Ends the drag: the docked window is placed one last time.
    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_timer.stop();
        qApp->removeEventFilter(this);
        if (m_window && m_mode == Mode::Manual && QWidget::mouseGrabber() == m_window)
            m_window->releaseMouse();
        keepInView();
        follow();
        deleteLater();
    }

    bool finished() const { return m_finished; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_finished)
            return false;
        switch (event->type()) {
        case QEvent::Move:
            if (watched == m_window) {
                follow();
                if (!m_settling)
                    m_timer.start(quietSpell);
            }
            return false;
        case QEvent::Hide:
            if (watched == m_window)
                finish();
            return false;
        case QEvent::MouseMove:
            return mouseMoved(watched, static_cast<QMouseEvent *>(event));
        case QEvent::MouseButtonRelease:
            if (m_mode == Mode::Manual) {
                finish();
                return watched == m_window;
            }
            // The desktop's loop never got this release: one may be waiting for it.
            if (!m_calledOff) {
                m_calledOff = true;
                callOffDesktopMove(m_window);
            }
            settle();
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // A press means the release of the drag's button was never seen.
            m_mode == Mode::Manual ? finish() : settle();
            return false;
        default:
            return false;
        }
    }

private:
    static constexpr int quietSpell = 30'000;
    static constexpr int settleTime = 500;

    bool mouseMoved(QObject *watched, QMouseEvent *move)
    {
        if (m_mode == Mode::Desktop) {
            if (!move->buttons().testFlag(Qt::LeftButton))
                settle();
            return false;
        }
        if (watched != m_window)
            return false;
        const QPoint global = move->globalPosition().toPoint();
        m_window->move(m_startPos + (global - m_pressGlobal));
        return true;
    }

    // The desktop's loop is over: the docked window is placed now, and again if the window's
    // final move is reported in the next moments.
    void settle()
    {
        if (m_settling)
            return;
        m_settling = true;
        follow();
        m_timer.start(settleTime);
    }

    // Runs afterMove, never from inside itself: moving the docked window must not start
    // another round.
    void follow()
    {
        if (m_following || !m_afterMove)
            return;
        m_following = true;
        m_afterMove();
        m_following = false;
    }

    // Whatever the drag did, the pair stays within the user's reach: when no screen shows enough
    // of it to grab, the dragged window comes back into view (the other one docks to it next).
    void keepInView()
    {
        if (!m_window || !m_window->isVisible())
            return;
        QRect pair = m_window->frameGeometry();
        if (m_partner && m_partner->isVisible())
            pair |= m_partner->frameGeometry();
        QList<QRect> areas;
        for (const QScreen *screen : QGuiApplication::screens())
            areas << screen->availableGeometry();
        const QPoint back = dock::backIntoView(pair, areas);
        if (!back.isNull())
            m_window->move(m_window->pos() + back);
    }

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_partner;
    Mode m_mode;
    QPoint m_pressGlobal;
    QPoint m_startPos;
    std::function<void()> m_afterMove;
    QTimer m_timer;
    bool m_settling = false;
    bool m_calledOff = false;
    bool m_following = false;
    bool m_finished = false;
};

QPointer<WindowDrag> &currentDrag()
{
    static QPointer<WindowDrag> drag;
    return drag;
}

} // namespace

bool moveWithMouse(QWidget *window, QMouseEvent *press, std::function<void()> afterMove,
                   QWidget *partner)
{
    if (press->button() != Qt::LeftButton)
        return false;
    if (WindowDrag *previous = currentDrag())
        previous->finish();

    // The pointer's place on the screen comes from the window system with the press itself, so
    // it is true even when Qt's record of where the window stands lags behind the window
    // manager (right after the window was shown, restored or placed by the program). The
    // desktop's move loop is anchored at the press point mapped through that record: trusted
    // only when it agrees with the pointer, or the window would leap by the difference. Where
    // it does not, the window follows the mouse from where it truly is.
    const QPointF pressGlobal = press->globalPosition();
    const QPoint truePlace = (pressGlobal - press->position()).toPoint();
    QWindow *handle = window->windowHandle();
    const bool placeKnown =
        handle && (handle->mapToGlobal(press->position()) - pressGlobal).manhattanLength() < 1.0;
    const WindowDrag::Mode mode = placeKnown && handle->startSystemMove()
                                      ? WindowDrag::Mode::Desktop
                                      : WindowDrag::Mode::Manual;
    currentDrag() = new WindowDrag(window, partner, mode, pressGlobal.toPoint(), truePlace,
                                   std::move(afterMove));
    press->accept();
    return true;
}

bool isMoving()
{
    const WindowDrag *drag = currentDrag();
    return drag && !drag->finished();
}

} // namespace desktop
