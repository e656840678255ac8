#include "PixelProbe.h"
#include "support/RecordingShell.h"
#include "ui/CMyButtonST.h"

#include <QTest>

using Images = QList<std::pair<QImage, QColor>>;

namespace {
const QColor white(255, 255, 255);
const QColor overColour(200, 30, 30);
const QColor awayColour(30, 160, 30);
const QColor pressedColour(30, 30, 200);
const QColor windowColour(90, 90, 90);

// A 10 by 10 picture of one colour inside a frame of the transparent colour.
QImage face(const QColor& colour, const QColor& key = white)
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(key);
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 9; ++x)
            image.setPixelColor(x, y, colour);
    return image;
}

// A window with one 20 by 20 button at (10, 10).
struct Fixture {
    QWidget window;
    CMyButtonST* button;

    Fixture()
    {
        probe::paintWindow(window, windowColour, QSize(60, 40));
        button = new CMyButtonST(&window);
        button->setGeometry(10, 10, 20, 20);
        window.show();
        window.activateWindow();
    }

    // The colour at the middle of the button, as the window shows it.
    QColor centre() { return window.grab(button->geometry()).toImage().pixelColor(10, 10); }
    QColor corner() { return window.grab(button->geometry()).toImage().pixelColor(5, 5); }

    void hover() { QTest::mouseMove(button, QPoint(10, 10)); }
    void leave() { QTest::mouseMove(&window, QPoint(50, 35)); }
};
} // namespace

class TestButton : public QObject {
    Q_OBJECT

private slots:
    void onlyTheFirstImageShowsInEveryState()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(f.button->setBitmaps({{face(overColour), white}}), int(CMyButtonST::BitmapsSet));
        QCOMPARE(f.centre(), overColour);
        f.hover();
        QTRY_VERIFY(f.button->isHovered());
        QCOMPARE(f.centre(), overColour);
        f.button->setDown(true);
        QCOMPARE(f.centre(), overColour);
        f.leave();
        QTRY_VERIFY(!f.button->isHovered());
        QCOMPARE(f.centre(), overColour);
    }

    void threeImagesFollowThePointerAndThePress()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->setBitmaps({{face(overColour), white}, {face(awayColour), white}, {face(pressedColour), white}});
        QCOMPARE(f.centre(), awayColour);
        QCOMPARE(f.corner(), windowColour); // the transparent frame shows the window
        f.hover();
        QTRY_COMPARE(f.centre(), overColour);
        f.button->setDown(true);
        QCOMPARE(f.centre(), pressedColour);
        f.leave();
        QTRY_VERIFY(!f.button->isHovered());
        QCOMPARE(f.centre(), awayColour); // pressed, pointer away: the away image
        f.button->setDown(false);
        QCOMPARE(f.centre(), awayColour);
    }

    void twoImagesShowTheSecondWhenThePointerIsAway()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->setBitmaps({{face(overColour), white}, {face(awayColour), white}});
        QCOMPARE(f.centre(), awayColour);
        f.hover();
        QTRY_COMPARE(f.centre(), overColour);
        f.button->setDown(true);
        QCOMPARE(f.centre(), overColour); // no pressed image: the pointer-over one
    }

    void aButtonThatIsNotFlatIgnoresThePointer()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->setFlat(false);
        f.button->setBitmaps({{face(overColour), white}, {face(awayColour), white}});
        f.hover();
        QTest::qWait(20);
        QVERIFY(!f.button->isHovered());
        QCOMPARE(f.centre(), awayColour);
    }

    void unreadableBitmapLeavesNoImages_data()
    {
        QTest::addColumn<Images>("images");
        QTest::newRow("first") << Images{{QImage(), white}};
        QTest::newRow("last") << Images{{face(overColour), white}, {face(awayColour), white}, {QImage(), white}};
    }

    void unreadableBitmapLeavesNoImages()
    {
        QFETCH(Images, images);
        Fixture f;
        f.button->setBitmaps({{face(overColour), white}});
        QCOMPARE(f.button->setBitmaps(images), int(CMyButtonST::BitmapSizeUnreadable));
        QVERIFY(!f.button->hasSlot(CMyButtonST::SlotOver));
        QCOMPARE(f.button->currentSlot(), -1);
        QCOMPARE(f.centre(), windowColour);
    }

    void bitmapsByResourceId()
    {
        Fixture f;
        QCOMPARE(f.button->setBitmaps(134, white, 133, white, 135, white), int(CMyButtonST::BitmapsSet));
        QCOMPARE(f.button->slotSize(CMyButtonST::SlotPressed), QSize(32, 32));
        QCOMPARE(f.button->setBitmaps(134, white, 99999, white), int(CMyButtonST::BitmapSizeUnreadable));
        QVERIFY(!f.button->hasSlot(CMyButtonST::SlotOver));
        // A missing later id only leaves its slot empty.
        QCOMPARE(f.button->setBitmaps(2009, white), int(CMyButtonST::BitmapsSet));
        QVERIFY(f.button->hasSlot(CMyButtonST::SlotOver));
        QVERIFY(!f.button->hasSlot(CMyButtonST::SlotAway));
    }

    void disablingAHoveredButtonClearsTheHoverAtOnce()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->setGreyWhenDisabled(false);
        f.button->setBitmaps({{face(overColour), white}, {face(awayColour), white}});
        f.hover();
        QTRY_VERIFY(f.button->isHovered());
        f.button->setEnabled(false);
        QVERIFY(!f.button->isHovered());
        QCOMPARE(f.centre(), awayColour);
    }

    void disabledPictureTurnsGrey_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<QColor>("expected");
        // 0.30 red + 0.59 green + 0.11 blue, truncated.
        QTest::newRow("red") << QColor(255, 0, 0) << true << QColor(76, 76, 76);
        QTest::newRow("mixed") << QColor(10, 200, 90) << true << QColor(130, 130, 130);
        QTest::newRow("black stays") << QColor(0, 0, 0) << true << QColor(0, 0, 0);
        QTest::newRow("grey look off") << QColor(255, 0, 0) << false << QColor(255, 0, 0);
    }

    void disabledPictureTurnsGrey()
    {
        QFETCH(QColor, colour);
        QFETCH(bool, grey);
        QFETCH(QColor, expected);
        Fixture f;
        f.button->setGreyWhenDisabled(grey);
        f.button->setBitmaps({{face(colour), white}});
        f.button->setEnabled(false);
        QCOMPARE(f.centre(), expected);
        QCOMPARE(f.corner(), windowColour);
    }

    void checkBoxModeShowsTheFirstImageWhileChecked()
    {
        Fixture f;
        f.button->setCheckBoxMode(true);
        f.button->setBitmaps({{face(overColour), white}, {face(awayColour), white}});
        QCOMPARE(f.centre(), awayColour);
        f.button->setCheck(1);
        QCOMPARE(f.button->check(), 1);
        QCOMPARE(f.centre(), overColour);
        f.button->setCheck(2);
        QCOMPARE(f.button->check(), 1);
        f.button->setCheck(5);
        QCOMPARE(f.button->check(), 0);
        QCOMPARE(f.centre(), awayColour);
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(f.button->check(), 1);
    }

    void clickOpensTheAddress()
    {
        RecordingShell shell;
        Fixture f;
        int clicks = 0;
        QObject::connect(f.button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
        QTest::mouseClick(f.button, Qt::LeftButton);
        QVERIFY(shell.openedUrls().isEmpty());
        f.button->setUrl(QStringLiteral("https://example.org/help"));
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(shell.openedUrls(), QStringList{QStringLiteral("https://example.org/help")});
        QCOMPARE(clicks, 2);
    }

    void opaqueBackgroundUsesTheStateColour()
    {
        Fixture f;
        f.button->setTransparentBackground(false);
        const QColor out(1, 2, 3), in(4, 5, 6), focus(7, 8, 9);
        f.button->setColours({in, Qt::black, out, Qt::black, focus, Qt::black});
        QCOMPARE(f.corner(), out);
    }

    void leftAlignedCaptionStartsAfterThePicture()
    {
        Fixture f;
        f.button->resize(120, 30);
        f.button->setText(QStringLiteral("WWWW"));
        f.button->setLeftAlignedCaption(true);
        f.button->setBitmaps({{face(overColour), white}});
        auto firstInk = [&f] {
            const QImage shot = f.window.grab(f.button->geometry()).toImage();
            for (int x = 20; x < shot.width(); ++x)
                for (int y = 0; y < shot.height(); ++y)
                    if (shot.pixelColor(x, y) != windowColour)
                        return x;
            return -1;
        };
        // Picture 10 wide: the caption starts 10 + 16 pixels from the left edge, 26 more indented.
        QVERIFY(qAbs(firstInk() - 26) <= 2);
        f.button->setLeftAlignedCaption(true, true);
        QVERIFY(qAbs(firstInk() - 52) <= 2);
    }
};

QTEST_MAIN(TestButton)
#include "tst_button.moc"
