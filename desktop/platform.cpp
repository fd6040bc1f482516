#include "platform.h"

#include "gifpicture.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPen>
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

namespace {

// The program's pictures (PNG, BMP), read by Qt's built-in readers in the format their name says.
// Given only a file name, Qt first loads every image plug-in installed to ask each whether it
// reads the format better than itself.
QImage readBuiltIn(const QString &path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// The sharper copy of a picture ("name@2x.png" beside it) at the picture's logical size, or
// nothing on a screen of one pixel per unit.
QImage sharperCopy(const QString &path)
{
    if (!qGuiApp || qGuiApp->devicePixelRatio() <= 1.0)
        return {};
    const QFileInfo info(path);
    QImage sharper = readBuiltIn(info.path() + QLatin1Char('/') + info.completeBaseName() +
                                 QStringLiteral("@2x.png"));
    sharper.setDevicePixelRatio(2.0);
    return sharper;
}

} // namespace

QPixmap picture(const QString &path)
{
    if (const QImage sharper = sharperCopy(path); !sharper.isNull())
        return QPixmap::fromImage(sharper);
    if (path.endsWith(QLatin1String(".gif"))) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (const QImage image = readGifPicture(file.readAll()); !image.isNull())
                return QPixmap::fromImage(image);
        }
        return QPixmap(path);
    }
    return QPixmap::fromImage(readBuiltIn(path));
}

QIcon icon(const QString &path)
{
    QIcon icon;
    if (const QImage image = readBuiltIn(path); !image.isNull())
        icon.addPixmap(QPixmap::fromImage(image));
    if (const QImage sharper = sharperCopy(path); !sharper.isNull())
        icon.addPixmap(QPixmap::fromImage(sharper));
    return icon;
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
