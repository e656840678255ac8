#include "ui/SkinPictures.h"

#include <QTest>
#include <QWidget>

namespace {
const QColor green(0, 255, 0);
const QColor white(255, 255, 255);
const QColor magenta(255, 0, 255);

// A picture of one colour with the given pixels in the transparent colour.
QImage fixture(int width, int height, const QList<QPoint>& holes, const QColor& key = green)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 80, 120));
    for (const QPoint& hole : holes)
        image.setPixelColor(hole, key);
    return image;
}
} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void everyBitmapLoadsWithItsSize_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QSize>("size");
        const QList<std::pair<QList<int>, QSize>> groups = {
            {{129}, {438, 98}},
            {{2016}, {76, 32}},
            {{2012, 2013}, {37, 45}},
            {{2015}, {11, 45}},
            {{2014}, {426, 45}},
            {{2006}, {200, 90}},
            {{133, 134, 135, 136, 137, 138, 139, 140, 141}, {32, 32}},
            {{1012, 1060, 1013, 1062, 1014, 1061}, {32, 32}},
            {{130, 131, 132, 2007, 2008, 2009, 2017, 2018, 2019}, {16, 16}},
            {{1007, 1008}, {16, 14}},
            {{1010}, {96, 16}},
            {{1056}, {426, 98}},
            {{1029, 1030, 1031}, {24, 24}},
            {{1032, 1016, 1017, 1035}, {16, 16}},
            {{1033}, {64, 16}},
            {{1034}, {56, 14}},
        };
        for (const auto& [ids, size] : groups)
            for (int id : ids)
                QTest::addRow("%d", id) << id << size;
    }

    void everyBitmapLoadsWithItsSize()
    {
        QFETCH(int, id);
        QFETCH(QSize, size);
        const QImage image = SkinPictures::image(id);
        QVERIFY2(!image.isNull(), qPrintable(SkinPictures::bitmapPath(id)));
        QCOMPARE(image.size(), size);
        QCOMPARE(SkinPictures::bitmap(id).size(), size);
    }

    void iconsLoad()
    {
        const QIcon program = SkinPictures::icon(128);
        QVERIFY(!program.isNull());
        for (int size : {16, 32, 48, 256})
            QVERIFY2(program.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        for (int id = 2000; id <= 2005; ++id) {
            const QIcon icon = SkinPictures::icon(id);
            QVERIFY2(!icon.isNull(), qPrintable(QString::number(id)));
            QCOMPARE(icon.pixmap(16, 16).size(), QSize(16, 16));
        }
        QVERIFY(SkinPictures::icon(4242).isNull());
        QVERIFY(SkinPictures::image(4242).isNull());
    }

    // The windows rely on these colours being exactly where the shapes end.
    void transparentColoursSitOutsideTheShapes_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QPoint>("outside");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QColor>("key");
        QTest::newRow("main background") << 129 << QPoint(0, 0) << QPoint(219, 49) << green;
        QTest::newRow("main background, last column") << 129 << QPoint(437, 97) << QPoint(437, 49) << green;
        QTest::newRow("bar left end") << 2012 << QPoint(0, 20) << QPoint(20, 20) << white;
        QTest::newRow("bar right end") << 2013 << QPoint(36, 20) << QPoint(20, 20) << white;
        QTest::newRow("popup") << 2006 << QPoint(0, 0) << QPoint(100, 60) << magenta;
        QTest::newRow("status strip") << 1010 << QPoint(0, 0) << QPoint(40, 8) << QColor(217, 221, 224);
        QTest::newRow("row buttons") << 1034 << QPoint(0, 0) << QPoint(7, 7) << QColor(51, 150, 253);
        QTest::newRow("hide button") << 130 << QPoint(0, 0) << QPoint(4, 4) << QColor(0, 0, 0);
        QTest::newRow("start button") << 133 << QPoint(0, 0) << QPoint(16, 16) << white;
    }

    void transparentColoursSitOutsideTheShapes()
    {
        QFETCH(int, id);
        QFETCH(QPoint, outside);
        QFETCH(QPoint, inside);
        QFETCH(QColor, key);
        const QImage image = SkinPictures::image(id);
        QCOMPARE(image.pixelColor(outside), key);
        QVERIFY(image.pixelColor(inside) != key);
    }

    // The "on" face of the top-most button is shown with white and with black as its
    // transparent colour, so it must contain neither.
    void topMostOnFaceHasNoTransparentPixels()
    {
        const QImage image = SkinPictures::image(2009);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y) & 0xffffffu;
                QVERIFY(pixel != 0xffffffu && pixel != 0u);
            }
    }

    void statusStripSplitsIntoSixIcons()
    {
        const QList<QPixmap> icons = SkinPictures::imageList(SkinPictures::image(1010), 16, QColor(217, 221, 224));
        QCOMPARE(icons.size(), 6);
        for (const QPixmap& icon : icons) {
            QCOMPARE(icon.size(), QSize(16, 16));
            QCOMPARE(icon.toImage().pixelColor(0, 0).alpha(), 0);
            QCOMPARE(icon.toImage().pixelColor(8, 8).alpha(), 255);
        }
    }

    void keyedImageClearsOnlyTheExactColour()
    {
        QImage image = fixture(3, 1, {QPoint(1, 0)}, white);
        image.setPixelColor(2, 0, QColor(254, 255, 255));
        const QImage keyed = SkinPictures::keyedImage(image, white);
        QCOMPARE(keyed.pixelColor(0, 0).alpha(), 255);
        QCOMPARE(keyed.pixelColor(1, 0).alpha(), 0);
        QCOMPARE(keyed.pixelColor(2, 0).alpha(), 255);
    }

    void regionFromBitmap_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QList<QPoint>>("inside");
        QTest::addColumn<QList<QPoint>>("outside");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("green pixels removed")
            << fixture(8, 4, {QPoint(0, 0), QPoint(3, 2)}) << QList<QPoint>{{1, 0}, {2, 2}, {4, 2}, {7, 3}}
            << QList<QPoint>{{0, 0}, {3, 2}} << QRect(0, 0, 8, 4);
        QTest::newRow("width rounded down to a multiple of 4")
            << fixture(11, 2, {}) << QList<QPoint>{{7, 0}} << QList<QPoint>{{8, 0}, {10, 1}} << QRect(0, 0, 8, 2);
        QTest::newRow("the main background keeps its full width")
            << fixture(438, 3, {QPoint(437, 0)}) << QList<QPoint>{{436, 0}, {437, 1}} << QList<QPoint>{{437, 0}}
            << QRect(0, 0, 438, 3);
        QTest::newRow("a picture of 436 pixels stays 436 wide")
            << fixture(436, 1, {}) << QList<QPoint>{{435, 0}} << QList<QPoint>{{436, 0}} << QRect(0, 0, 436, 1);
        QTest::newRow("all transparent") << fixture(4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}) << QList<QPoint>{}
                                         << QList<QPoint>{{0, 0}, {3, 0}} << QRect();
    }

    void regionFromBitmap()
    {
        QFETCH(QImage, image);
        QFETCH(QList<QPoint>, inside);
        QFETCH(QList<QPoint>, outside);
        QFETCH(QRect, bounds);
        const QRegion region = SkinPictures::windowRegion(image, green);
        for (const QPoint& point : inside)
            QVERIFY2(region.contains(point), qPrintable(QStringLiteral("%1,%2").arg(point.x()).arg(point.y())));
        for (const QPoint& point : outside)
            QVERIFY2(!region.contains(point), qPrintable(QStringLiteral("%1,%2").arg(point.x()).arg(point.y())));
        QCOMPARE(region.boundingRect(), bounds);
    }

    void mainBackgroundRegionHasRoundedCorners()
    {
        const QRegion region = SkinPictures::windowRegion(SkinPictures::image(129), green);
        QCOMPARE(region.boundingRect(), QRect(0, 0, 438, 98));
        for (QPoint corner : {QPoint(0, 0), QPoint(437, 0), QPoint(0, 97), QPoint(437, 97)})
            QVERIFY(!region.contains(corner));
        QVERIFY(region.contains(QPoint(219, 0)));
        QVERIFY(region.contains(QPoint(437, 49)));
    }

    void unreadablePictureKeepsTheWindowShape()
    {
        QWidget window;
        window.resize(100, 50);
        const QRegion shape(0, 0, 50, 50);
        window.setMask(shape);
        QVERIFY(!SkinPictures::applyWindowRegion(&window, QImage(), green));
        QCOMPARE(window.mask(), shape);
        QVERIFY(SkinPictures::windowRegion(QImage(), green).isEmpty());

        QVERIFY(SkinPictures::applyWindowRegion(&window, fixture(8, 2, {QPoint(0, 0)}), green));
        QVERIFY(!window.mask().contains(QPoint(0, 0)));
        QVERIFY(window.mask().contains(QPoint(7, 1)));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
