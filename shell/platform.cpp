#include "platform.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QProcess>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace platform {

QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight)
{
    return QRegion(QRect(left, top, right - left, bottom - top), QRegion::Rectangle)
        .intersected(QRegion(QRect(left, top, right - left, bottom - top), QRegion::Ellipse))
        .united(QRegion(left + ellipseWidth / 2, top, right - left - ellipseWidth, bottom - top))
        .united(QRegion(left, top + ellipseHeight / 2, right - left, bottom - top - ellipseHeight));
}

void applyRoundedOutline(QWidget *window, int left, int top, int right, int bottom,
                         int ellipseWidth, int ellipseHeight)
{
    window->setMask(roundRectRegion(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

void makeTopmost(QWidget *window)
{
    if (window->windowFlags() & Qt::WindowStaysOnTopHint)
        return;
    const bool visible = window->isVisible();
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible)
        window->show();
}

bool moveWithMouse(QWidget *window, QMouseEvent *press, std::function<void()> afterMove)
{
    if (press->button() != Qt::LeftButton)
        return false;
    if (QWindow *handle = window->windowHandle(); handle && handle->startSystemMove()) {
        if (afterMove)
            afterMove();
        return true;
    }
    return false;
}

QCursor handCursor()
{
    const QPixmap hand(QStringLiteral(":/ui/hand.png"));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, 11, 1);
}

namespace {
WebSiteOpener &opener()
{
    static WebSiteOpener current = [](const QString &address) {
#ifdef Q_OS_WIN
        QProcess::startDetached(QStringLiteral("explorer.exe"), {address});
#else
        const QUrl url = QUrl::fromUserInput(address);
        QDesktopServices::openUrl(url);
#endif
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

} // namespace platform
