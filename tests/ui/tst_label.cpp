#include "PixelProbe.h"
#include "ui/CLabelEx.h"
#include "ui/SkinPictures.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>

namespace {
const QColor windowColour(230, 230, 230);
const QColor linkColour(0, 0, 192);
const QColor hoverColour(0, 0, 255);

QPixmap solid(const QColor& colour, QSize size = QSize(100, 24))
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

struct Fixture {
    QWidget window;
    CLabelEx* label;

    Fixture()
    {
        probe::paintWindow(window, windowColour, QSize(200, 60));
        label = new CLabelEx(QStringLiteral("Support us"), &window);
        label->setGeometry(10, 10, 100, 24);
        window.show();
        window.activateWindow();
    }

    QImage shot() { return window.grab(label->geometry()).toImage(); }

    bool shows(const QColor& colour) { return probe::contains(shot(), colour); }

    // The rows that carry a full run of the colour at least 20 pixels long (an underline).
    int lineRows(const QColor& colour)
    {
        const QImage image = shot();
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            int run = 0, longest = 0;
            for (int x = 0; x < image.width(); ++x) {
                run = image.pixelColor(x, y) == colour ? run + 1 : 0;
                longest = qMax(longest, run);
            }
            rows += longest >= 20 ? 1 : 0;
        }
        return rows;
    }
};
} // namespace

class TestLabel : public QObject {
    Q_OBJECT

private slots:
    void everyPressFlipsThePressedLook()
    {
        Fixture f;
        const QColor normal(10, 120, 10), pressed(120, 10, 10);
        f.label->setStateBitmaps(solid(normal), QPixmap(), solid(pressed));
        int clicks = 0;
        QObject::connect(f.label, &CLabelEx::clicked, [&clicks] { ++clicks; });
        QCOMPARE(f.shot().pixelColor(2, 2), normal);
        QTest::mouseClick(f.label, Qt::LeftButton, {}, QPoint(50, 12));
        QVERIFY(f.label->isPressed());
        QCOMPARE(f.shot().pixelColor(2, 2), pressed);
        QTest::mouseClick(f.label, Qt::LeftButton, {}, QPoint(50, 12));
        QVERIFY(!f.label->isPressed());
        QCOMPARE(f.shot().pixelColor(2, 2), normal);
        QCOMPARE(clicks, 2);
    }

    void linkTurnsBlueAndUnderlinedUnderThePointer()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.label->setTextColour(linkColour);
        f.label->setColourOnHover(true);
        f.label->setUnderlineOnHover(true);
        QCOMPARE(f.lineRows(hoverColour), 0);

        QTest::mouseMove(f.label, QPoint(30, 12));
        QTRY_VERIFY(f.label->isPointerOver());
        QCOMPARE(f.label->textColour(), hoverColour);
        QVERIFY(f.label->hasUnderline());
        QCOMPARE(f.lineRows(hoverColour), 1);
        QCOMPARE(f.label->cursor().shape(), Qt::PointingHandCursor);

        QTest::mouseMove(&f.window, QPoint(190, 55));
        QTRY_VERIFY(!f.label->isPointerOver());
        QCOMPARE(f.label->textColour(), linkColour);
        QVERIFY(!f.label->hasUnderline());
        QCOMPARE(f.lineRows(hoverColour), 0);
    }

    void withoutPointerReactionNothingChanges()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.label->setTextColour(Qt::black);
        f.label->setColourOnHover(true);
        f.label->setPointerReaction(false);
        QTest::mouseMove(f.label, QPoint(30, 12));
        QTest::qWait(20);
        QVERIFY(!f.label->isPointerOver());
        QCOMPARE(f.label->textColour(), QColor(Qt::black));
    }

    void switchingTheReactionOffEndsTheHoverLook()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.label->setTextColour(linkColour);
        f.label->setColourOnHover(true);
        QTest::mouseMove(f.label, QPoint(30, 12));
        QTRY_VERIFY(f.label->isPointerOver());
        f.label->setPointerReaction(false);
        QCOMPARE(f.label->textColour(), linkColour);
        QVERIFY(!f.label->isPointerOver());
    }

    // A colour or underline given while the pointer is over the label is what it keeps once the
    // pointer leaves, not what it had before the pointer came.
    void colourAndUnderlineSetUnderThePointerLastPastIt()
    {
        Fixture f;
        f.label->setTextColour(linkColour);
        f.label->setColourOnHover(true);
        f.label->setUnderlineOnHover(true);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.label, &leave); // wherever the pointer was left before
        QEnterEvent enter(QPointF(30, 12), QPointF(30, 12), f.label->mapToGlobal(QPointF(30, 12)));
        QApplication::sendEvent(f.label, &enter);
        QVERIFY(f.label->isPointerOver());

        f.label->setTextColour(Qt::black);
        f.label->setUnderline(true, hoverColour);
        QCOMPARE(f.label->textColour(), hoverColour);

        QApplication::sendEvent(f.label, &leave);
        QVERIFY(!f.label->isPointerOver());
        QCOMPARE(f.label->textColour(), QColor(Qt::black));
        QVERIFY(f.label->hasUnderline());
    }

    void permanentUnderlineIsDrawnInItsColour()
    {
        Fixture f;
        const QColor colour(200, 0, 100);
        f.label->setUnderline(true, colour);
        QCOMPARE(f.lineRows(colour), 1);
    }

    void disabledTextIsLightGrey()
    {
        Fixture f;
        QFont big = f.label->font();
        big.setPixelSize(20);
        big.setBold(true);
        f.label->setFont(big);
        f.label->setTextColour(Qt::black);
        QVERIFY(f.shows(Qt::black));
        f.label->setEnabled(false);
        QVERIFY(!f.shows(Qt::black));
        QVERIFY(f.shows(CLabelEx::disabledTextColour()));
    }

    void statusIconFromTheStrip()
    {
        Fixture f;
        const QList<QPixmap> icons = SkinPictures::imageList(SkinPictures::image(1010), 16, CLabelEx::statusIconKey());
        f.label->setLeftImageIndex(2);
        const QColor expected = icons[2].toImage().pixelColor(8, 8);
        // Drawn at the left edge, centred in the label's 24 pixels.
        QCOMPARE(f.shot().pixelColor(8, 4 + 8), expected);
        f.label->setLeftImageIndex(4);
        QCOMPARE(f.shot().pixelColor(8, 4 + 8), icons[4].toImage().pixelColor(8, 8));
    }

    void borderFrameAndFill()
    {
        Fixture f;
        f.label->setText(QString());
        f.label->setBorder(true, QColor(1, 2, 3), QColor(200, 210, 220));
        QCOMPARE(f.shot().pixelColor(0, 0), QColor(1, 2, 3));
        QCOMPARE(f.shot().pixelColor(50, 12), QColor(200, 210, 220));
    }
};

QTEST_MAIN(TestLabel)
#include "tst_label.moc"
