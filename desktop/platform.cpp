#include "platform.h"

#include "docking.h"
#include "gifpicture.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace desktop {

QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const int width = right - left;
    const int height = bottom - top;
    ellipseWidth = std::min(std::abs(ellipseWidth), width);
    ellipseHeight = std::min(std::abs(ellipseHeight), height);
    if (ellipseWidth < 2 || ellipseHeight < 2)
        return QRegion(left, top, width, height);

    // Row by row: the region is symmetric about its middle, so each corner row is added at the
    // top and the bottom at once.
    const double a = ellipseWidth / 2.0;
    const double b = ellipseHeight / 2.0;
    const int cornerRows = (ellipseHeight + 1) / 2;
    QRegion region;
    for (int row = 0; row < cornerRows && row < (height + 1) / 2; ++row) {
        const double dy = b - (row + 0.5);
        const double halfSpan = dy >= b ? 0.0 : a * std::sqrt(1.0 - (dy * dy) / (b * b));
        const int cut = static_cast<int>(std::lround(a - halfSpan));
        if (width - 2 * cut <= 0)
            continue;
        region += QRect(left + cut, top + row, width - 2 * cut, 1);
        region += QRect(left + cut, bottom - 1 - row, width - 2 * cut, 1);
    }
    if (height > 2 * cornerRows)
        region += QRect(left, top + cornerRows, width, height - 2 * cornerRows);
    return region;
}

void applyRoundedOutline(QWidget *window, int left, int top, int right, int bottom,
                         int ellipseWidth, int ellipseHeight)
{
    window->setMask(roundRectRegion(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

void makeTopmost(QWidget *window)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    // QWidget::setWindowFlags would re-create a shown window (hide it, show it again and
    // activate it); the flag is told to the window system directly instead, and the widget is
    // told what its flags now are, so that a later re-creation keeps them.
    window->overrideWindowFlags(window->windowFlags() | Qt::WindowStaysOnTopHint);
    if (QWindow *handle = window->windowHandle())
        handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
}

bool pressedOnBackground(const QWidget *window, const QMouseEvent *press)
{
    return window->childAt(press->position().toPoint()) == nullptr;
}

namespace {

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

namespace {
// Where the finger's tip is in the hand picture (hand.png, 32 x 32).
constexpr QPoint handHotSpot(8, 0);
} // namespace

QCursor handCursor()
{
    const QPixmap hand = picture(QStringLiteral(":/ui/hand.png"));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    // The window systems place the hot spot on the picture's own pixels.
    const QPoint spot = handHotSpot * hand.devicePixelRatio();
    return QCursor(hand, spot.x(), spot.y());
}

QPixmap picture(const QString &path)
{
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        const QFileInfo info(path);
        QPixmap sharper(info.path() + QLatin1Char('/') + info.completeBaseName() +
                        QStringLiteral("@2x.png"));
        if (!sharper.isNull()) {
            sharper.setDevicePixelRatio(2.0);
            return sharper;
        }
    }
    if (path.endsWith(QLatin1String(".gif"))) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (const QImage image = readGifPicture(file.readAll()); !image.isNull())
                return QPixmap::fromImage(image);
        }
    }
    return QPixmap(path);
}

void paintOutline(QPainter &painter, const QRect &bounds, const QColor &colour, int width)
{
    if (width < 1 || bounds.width() <= 0 || bounds.height() <= 0)
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const int w = std::min({width, (bounds.width() + 1) / 2, (bounds.height() + 1) / 2});
    QRegion ring(bounds);
    ring -= bounds.adjusted(w, w, -w, -w);
    for (const QRect &part : ring)
        painter.drawRect(part);
    painter.restore();
}

namespace {
WebSiteOpener &opener()
{
    // The desktop's own handler for web addresses: the user's browser on every platform.
    static WebSiteOpener current = [](const QString &address) {
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
    };
    return current;
}
} // namespace

void openWebSite(const QString &address)
{
    opener()(address);
}

WebSiteOpener setWebSiteOpener(WebSiteOpener next)
{
    WebSiteOpener previous = opener();
    opener() = std::move(next);
    return previous;
}

} // namespace desktop
