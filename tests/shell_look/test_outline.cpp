// The rounded outline of the borderless windows, pixel by pixel, and the decorative frames.

#include "desktop/platform.h"
#include "headless.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

namespace {

QRegion mirrored(const QRegion &region, const QRect &box)
{
    QRegion out;
    for (const QRect &r : region) {
        const int x = box.left() + box.right() - r.right();
        const int y = box.top() + box.bottom() - r.bottom();
        out += QRect(x, y, r.width(), r.height());
    }
    return out;
}

} // namespace

class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }

    // The region arguments of the two calculator windows, and shapes around the edge cases.
    void roundRectRules_data()
    {
        QTest::addColumn<QRect>("args"); // left, top, right, bottom stored as a QRect's corners
        QTest::addColumn<QSize>("ellipse");
        QTest::newRow("main window") << QRect(QPoint(1, 1), QPoint(215, 330)) << QSize(30, 30);
        QTest::newRow("margin window") << QRect(QPoint(1, 1), QPoint(402, 328)) << QSize(30, 30);
        QTest::newRow("small") << QRect(QPoint(0, 0), QPoint(12, 10)) << QSize(4, 4);
        QTest::newRow("wide flat corners") << QRect(QPoint(5, 5), QPoint(65, 35)) << QSize(40, 10);
        QTest::newRow("odd ellipse") << QRect(QPoint(0, 0), QPoint(50, 50)) << QSize(15, 21);
    }
    void roundRectRules()
    {
        QFETCH(QRect, args);
        QFETCH(QSize, ellipse);
        const int left = args.left(), top = args.top();
        const int right = args.right(), bottom = args.bottom(); // the arguments themselves
        const QRegion region =
            desktop::roundRectRegion(left, top, right, bottom, ellipse.width(), ellipse.height());
        // The right and bottom edges are outside: the region covers [left, right) x [top, bottom).
        const QRect box(left, top, right - left, bottom - top);
        QCOMPARE(region.boundingRect(), box);
        const int midX = (left + right) / 2, midY = (top + bottom) / 2;
        QVERIFY(region.contains(QPoint(left, midY)));
        QVERIFY(region.contains(QPoint(right - 1, midY)));
        QVERIFY(region.contains(QPoint(midX, top)));
        QVERIFY(region.contains(QPoint(midX, bottom - 1)));
        QVERIFY(!region.contains(QPoint(right, midY)));
        QVERIFY(!region.contains(QPoint(midX, bottom)));
        // The straight edges run the whole length between the corner ellipses.
        const int a = ellipse.width() / 2, b = ellipse.height() / 2;
        QVERIFY(region.contains(QRect(left + a, top, right - left - 2 * a, 1)));
        QVERIFY(region.contains(QRect(left, top + b, 1, bottom - top - 2 * b)));
        // Corners are cut on all four sides alike.
        for (const QPoint corner : {QPoint(left, top), QPoint(right - 1, top),
                                    QPoint(left, bottom - 1), QPoint(right - 1, bottom - 1)})
            QVERIFY2(!region.contains(corner),
                     qPrintable(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y())));
        QCOMPARE(mirrored(region, box), region);
        // Rounded, neither square nor chamfered: along the corner's diagonal the edge lies about
        // 0.29 of the radius in (1 - 1/sqrt 2), and each row of the corner is at least as wide as
        // the one before it.
        if (a == b) {
            const int in = int(a * 0.293);
            QVERIFY(!region.contains(QPoint(left + in - 2, top + in - 2)));
            QVERIFY(region.contains(QPoint(left + in + 2, top + in + 2)));
        }
        auto rowWidth = [&](int y) {
            return (region & QRect(left, y, right - left, 1)).boundingRect().width();
        };
        QVERIFY(rowWidth(top) <= right - left - 2 * (a / 2));
        for (int y = top + 1; y <= top + b; ++y)
            QVERIFY(rowWidth(y) >= rowWidth(y - 1));
    }

    void degenerateArguments()
    {
        // An ellipse under 2 pixels gives the plain rectangle.
        QCOMPARE(desktop::roundRectRegion(2, 3, 20, 30, 1, 30), QRegion(2, 3, 18, 27));
        // Corners given the other way round mean the same rectangle.
        QCOMPARE(desktop::roundRectRegion(20, 30, 2, 3, 8, 8),
                 desktop::roundRectRegion(2, 3, 20, 30, 8, 8));
        // An ellipse larger than the rectangle is clamped to it: the region is an ellipse.
        const QRegion round = desktop::roundRectRegion(0, 0, 40, 20, 400, 400);
        QCOMPARE(round.boundingRect(), QRect(0, 0, 40, 20));
        QVERIFY(!round.contains(QPoint(3, 2)));
        QVERIFY(round.contains(QPoint(0, 10)) && round.contains(QPoint(20, 0)));
        QVERIFY(desktop::roundRectRegion(5, 5, 5, 40, 10, 10).isEmpty());
    }

    void windowKeepsItsOutline()
    {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.resize(219, 328);
        desktop::applyRoundedOutline(&window, 1, 1, 215, 330, 30, 30);
        window.show();
        // Shown, the window still has its corners cut and its middle whole.
        QVERIFY(!window.mask().contains(QPoint(1, 1)));
        QVERIFY(!window.mask().contains(QPoint(214, 1)));
        QVERIFY(window.mask().contains(window.rect().center()));
    }

    void outlines_data()
    {
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<QPoint>>("painted");
        QTest::addColumn<QList<QPoint>>("untouched");
        // The display's frame: 4 pixels wide, inside its place.
        QTest::newRow("width 4")
            << QRect(14, 63, 188, 34) << 4
            << QList<QPoint>{{14, 63}, {17, 66}, {201, 96}, {198, 93}, {100, 63}}
            << QList<QPoint>{{13, 62}, {18, 67}, {202, 97}, {197, 92}, {100, 80}};
        QTest::newRow("width 1") << QRect(16, 120, 281, 193) << 1
                                 << QList<QPoint>{{16, 120}, {296, 312}, {16, 200}}
                                 << QList<QPoint>{{17, 121}, {297, 313}, {15, 200}};
        QTest::newRow("wider than half fills")
            << QRect(2, 2, 6, 5) << 4 << QList<QPoint>{{4, 4}, {2, 2}, {7, 6}}
            << QList<QPoint>{{8, 7}, {1, 1}};
    }
    void outlines()
    {
        QFETCH(QRect, bounds);
        QFETCH(int, width);
        QFETCH(QList<QPoint>, painted);
        QFETCH(QList<QPoint>, untouched);
        QImage image(320, 320, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        desktop::paintOutline(painter, bounds, QColor(0x0000C0), width);
        painter.end();
        for (const QPoint p : painted)
            QCOMPARE(image.pixel(p), QColor(0x0000C0).rgb());
        for (const QPoint p : untouched)
            QCOMPARE(image.pixel(p), QColor(Qt::white).rgb());
    }
};

QTEST_MAIN(TestOutline)
#include "test_outline.moc"
