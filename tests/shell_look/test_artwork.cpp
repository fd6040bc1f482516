// The pictures compiled into the program: each one where the windows look for it, in the format
// and size the windows were drawn for, lined up with the elements painted over it, and sharper
// on a screen at 200 % (this test also runs with QT_SCALE_FACTOR=2).

#include "desktop/gifpicture.h"
#include "desktop/platform.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTest>

namespace {

QByteArray head(const QString &path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

bool highDensity()
{
    return qApp->devicePixelRatio() > 1.0;
}

bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    // The windows' own pictures are read without loading Qt's image plug-ins, which would cost
    // every start a few libraries more. First, before anything else here reads a picture.
    void picturesLoadNoImagePlugin()
    {
        if (!QFile::exists(QStringLiteral("/proc/self/maps")))
            QSKIP("needs /proc to see the loaded libraries");
        for (const char *path : {":/ui/logo.png", ":/ui/form1-body.gif", ":/ui/form2-body.bmp"})
            QVERIFY2(!desktop::picture(QLatin1String(path)).isNull(), path);
        QVERIFY(!desktop::icon(QStringLiteral(":/ui/close.png")).isNull());
        QVERIFY(!imagePluginLoaded());
        // The check itself sees a plug-in once one is loaded.
        QVERIFY(!QImage(QStringLiteral(":/ui/logo.png")).isNull());
        QVERIFY(imagePluginLoaded());
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("main window body")
            << ":/ui/form1-body.gif" << QSize(216, 328) << QByteArray("GIF87a");
        QTest::newRow("margin window body")
            << ":/ui/form2-body.bmp" << QSize(402, 328) << QByteArray("BM");
        QTest::newRow("logo") << ":/ui/logo.png" << QSize(32, 32) << QByteArray("\x89PNG");
        QTest::newRow("window icon") << ":/ui/tarvex.png" << QSize(32, 32) << QByteArray("\x89PNG");
        QTest::newRow("minimise glyph")
            << ":/ui/minimise.png" << QSize(13, 13) << QByteArray("\x89PNG");
        QTest::newRow("close glyph") << ":/ui/close.png" << QSize(13, 13) << QByteArray("\x89PNG");
        QTest::newRow("hand") << ":/ui/hand.png" << QSize(32, 32) << QByteArray("\x89PNG");
    }
    void pictures()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QByteArray, format);
        QCOMPARE(head(path, format.size()), format);
        const QImage image(path);
        QCOMPARE(image.size(), size);

        // Its sharper copy has twice the pixels, and is what a screen at 200 % gets.
        const QString base = path.left(path.lastIndexOf(QLatin1Char('.')));
        QCOMPARE(QImage(base + QStringLiteral("@2x.png")).size(), size * 2);
        const QPixmap shown = desktop::picture(path);
        QCOMPARE(shown.deviceIndependentSize().toSize(), size);
        QCOMPARE(shown.size(), highDensity() ? size * 2 : size);
    }

    // The program reads the body picture itself: every pixel as Qt's own reader gives it, and
    // nothing (so that Qt's reader takes over) for what it does not understand or a file cut
    // short anywhere.
    void gifReaderAgreesWithQt()
    {
        QFile file(QStringLiteral(":/ui/form1-body.gif"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray gif = file.readAll();
        const QImage ours = desktop::readGifPicture(gif);
        QVERIFY(!ours.isNull());
        QCOMPARE(ours, QImage::fromData(gif, "GIF").convertToFormat(QImage::Format_RGB32));
        for (qsizetype cut = 0; cut < gif.size() - 1; cut += 97)
            QVERIFY2(desktop::readGifPicture(QByteArrayView(gif).first(cut)).isNull(),
                     qPrintable(QString::number(cut)));
        QByteArray interlaced = gif;
        const qsizetype descriptor = interlaced.indexOf(char(0x2C), 13 + 768);
        QVERIFY(descriptor > 0);
        interlaced[descriptor + 9] = char(interlaced[descriptor + 9] | 0x40);
        QVERIFY(desktop::readGifPicture(interlaced).isNull());
        QVERIFY(desktop::readGifPicture("GIF87a").isNull());
        QVERIFY(desktop::readGifPicture("\x89PNG\r\n").isNull());
    }

    void marginBodyIs24Bit()
    {
        const QByteArray header = head(QStringLiteral(":/ui/form2-body.bmp"), 30);
        QCOMPARE(header.size(), 30);
        QCOMPARE(int(quint8(header[28])) | int(quint8(header[29])) << 8, 24);
    }

    // The body pictures under the elements that sit on them: where a grey frame lies, the
    // picture is the frame's grey; around the display and between the keys, the dark shell.
    void bodiesLineUpWithTheElements_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<int>("tolerance");
        const QString main = QStringLiteral(":/ui/form1-body.gif");
        const QString margin = QStringLiteral(":/ui/form2-body.bmp");
        QTest::newRow("VAT panel, left") << main << QPoint(17, 282) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("VAT panel, right") << main << QPoint(198, 300) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("VAT panel, below the frame")
            << main << QPoint(100, 317) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("display recess, left") << main << QPoint(11, 80) << QRgb(0x1A1C20) << 24;
        QTest::newRow("display recess, right") << main << QPoint(204, 80) << QRgb(0x1A1C20) << 24;
        QTest::newRow("between two keys") << main << QPoint(48, 124) << QRgb(0x25292E) << 24;
        QTest::newRow("title plate") << main << QPoint(120, 50) << QRgb(0xD5D9DE) << 24;
        QTest::newRow("price change frame") << margin << QPoint(150, 70) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("margin calculator") << margin << QPoint(150, 240) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("options column") << margin << QPoint(345, 300) << QRgb(0xA7A7A7) << 0;
        QTest::newRow("top strip") << margin << QPoint(300, 15) << QRgb(0xDDE0E4) << 24;
    }
    void bodiesLineUpWithTheElements()
    {
        QFETCH(QString, path);
        QFETCH(QPoint, at);
        QFETCH(QRgb, colour);
        QFETCH(int, tolerance);
        const QColor seen = QImage(path).pixelColor(at);
        const QColor wanted = QColor::fromRgb(colour);
        QVERIFY2(std::abs(seen.red() - wanted.red()) <= tolerance &&
                     std::abs(seen.green() - wanted.green()) <= tolerance &&
                     std::abs(seen.blue() - wanted.blue()) <= tolerance,
                 qPrintable(seen.name()));
    }

    void handPointsWithItsFingertip()
    {
        const QCursor hand = desktop::handCursor();
        QCOMPARE(hand.shape(), Qt::BitmapCursor);
        const QImage picture = hand.pixmap().toImage();
        const QPoint spot = hand.hotSpot();
        const int ratio = highDensity() ? 2 : 1;
        QCOMPARE(picture.size(), QSize(32, 32) * ratio);
        // The hot spot is on the outline of the fingertip: the topmost painted pixels of the
        // picture, with nothing painted above them or beside the finger at that height.
        QVERIFY(qAlpha(picture.pixel(spot)) == 255);
        QVERIFY(qGray(picture.pixel(spot)) < 64);
        for (int y = 0; y < spot.y(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                QCOMPARE(qAlpha(picture.pixel(x, y)), 0);
        int painted = 0;
        for (int x = 0; x < picture.width(); ++x)
            painted += qAlpha(picture.pixel(x, spot.y())) > 0;
        QVERIFY(painted <= 2 * ratio);
    }

    // The buttons show their glyphs through QIcon, which finds the sharper copies by their
    // "@2x" name on its own.
    void glyphsSharpenThroughIcons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("minimise") << ":/ui/minimise.png";
        QTest::newRow("close") << ":/ui/close.png";
        QTest::newRow("window icon") << ":/ui/tarvex.png";
    }
    void glyphsSharpenThroughIcons()
    {
        QFETCH(QString, path);
        const QIcon icon(path);
        const QSize size = QImage(path).size();
        QVERIFY(icon.availableSizes().contains(size));
        QCOMPARE(icon.availableSizes().contains(size * 2), highDensity());
    }
};

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"
