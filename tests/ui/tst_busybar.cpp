#include "PixelProbe.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/CKCBusyProgressCtrl.h"

#include <QCoreApplication>
#include <QTest>

namespace {
const QColor highlight(0, 200, 0);
const QColor blockFill(160, 190, 220);

void post(CKCBusyProgressCtrl& bar, int message, qintptr wParam, qintptr lParam = 0)
{
    PostWindowMessage(&bar, message, wParam, lParam);
}
} // namespace

class TestBusyBar : public QObject {
    Q_OBJECT

private slots:
    void progressFillsItsShareOfBlocks_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("lit");
        QTest::newRow("busy bar 0..100 at 50") << 10 << 100 << 50 << 5;
        QTest::newRow("level meter 0..512 at 256") << 20 << 512 << 256 << 10;
        QTest::newRow("level meter at 0") << 20 << 512 << 0 << 0;
        QTest::newRow("level meter at 512") << 20 << 512 << 512 << 20;
        QTest::newRow("above the range") << 20 << 512 << 9000 << 20;
        QTest::newRow("empty range") << 10 << 0 << 50 << 0;
    }

    // Configured the way the main window does it: by posted messages.
    void progressFillsItsShareOfBlocks()
    {
        QFETCH(int, blocks);
        QFETCH(int, high);
        QFETCH(int, value);
        QFETCH(int, lit);
        CKCBusyProgressCtrl bar;
        bar.resize(blocks * 6, 12);
        post(bar, WM_BUSY_SET_BLOCKS, blocks);
        post(bar, WM_BUSY_SET_RANGE, 0, high);
        post(bar, WM_BUSY_SET_MODE, CKCBusyProgressCtrl::ProgressMode);
        post(bar, WM_BUSY_SET_POSITION, value);
        QCoreApplication::processEvents();
        QCOMPARE(bar.mode(), int(CKCBusyProgressCtrl::ProgressMode));
        QCOMPARE(bar.blockWidth(), 5);
        QCOMPARE(probe::litBlocks(bar), lit);
    }

    void theNextBlockFillsForTheRemainder()
    {
        CKCBusyProgressCtrl bar;
        bar.resize(10 * 11, 10); // blocks 10 wide, 8 inside their border
        bar.setMode(CKCBusyProgressCtrl::ProgressMode);
        bar.setPosition(55);
        const QImage shot = bar.grab().toImage();
        const int left = 5 * 11;
        QCOMPARE(shot.pixelColor(left + 1, 5), highlight); // first half of the inside
        QCOMPARE(shot.pixelColor(left + 4, 5), highlight);
        QCOMPARE(shot.pixelColor(left + 6, 5), blockFill);       // second half not yet
        QCOMPARE(shot.pixelColor(left, 5), QColor(50, 90, 135)); // its border stays
    }

    void busyAnimationSteps_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("bounce") << 1 << QList<int>{0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2};
        QTest::newRow("forward") << 2 << QList<int>{0, 1, 2, 3, 4, 0, 1};
        QTest::newRow("backward") << 4 << QList<int>{5, 4, 3, 2, 1, 0, 5, 4};
    }

    void busyAnimationSteps()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, positions);
        CKCBusyProgressCtrl bar;
        bar.resize(50, 8);
        bar.setBlocks(5);
        bar.setBusyType(type);
        bar.reset();
        QList<int> seen{bar.position()};
        while (seen.size() < positions.size()) {
            bar.onAnimationTick();
            seen << bar.position();
        }
        QCOMPARE(seen, positions);
    }

    void busyModeHighlightsTheCurrentBlock()
    {
        CKCBusyProgressCtrl bar;
        bar.resize(50, 8);
        bar.setBlocks(5);
        bar.setPosition(3);
        const QList<QColor> colours = probe::blockColours(bar);
        QCOMPARE(colours, (QList<QColor>{blockFill, blockFill, blockFill, highlight, blockFill}));
    }

    void progressFillTypeFillsOverTheFillExtent()
    {
        CKCBusyProgressCtrl bar;
        bar.resize(100, 8);
        bar.setFillLength(2);
        bar.setBusyFillType(CKCBusyProgressCtrl::ProgressFill);
        QCOMPARE(bar.fillExtent(), 20);
        bar.setPosition(10);
        QCOMPARE(probe::litBlocks(bar), 5);
        bar.setBusyType(CKCBusyProgressCtrl::BackwardType);
        bar.reset();
        QCOMPARE(bar.position(), 20);
        QCOMPARE(probe::litBlocks(bar), 10);
    }

    void modeRules()
    {
        CKCBusyProgressCtrl bar;
        bar.setInterval(10);
        bar.start();
        QVERIFY(bar.isRunning());
        bar.setMode(3); // refused, but the animation stops all the same
        QVERIFY(!bar.isRunning());
        QCOMPARE(bar.mode(), int(CKCBusyProgressCtrl::BusyMode));

        bar.setBusyType(CKCBusyProgressCtrl::BackwardType);
        QCOMPARE(bar.direction(), -1);
        bar.setMode(CKCBusyProgressCtrl::ProgressMode);
        QCOMPARE(bar.direction(), 1);
        bar.setBusyType(CKCBusyProgressCtrl::ForwardType); // busy settings only in busy mode
        QCOMPARE(bar.busyType(), int(CKCBusyProgressCtrl::BackwardType));
        bar.start();
        QVERIFY(!bar.isRunning());
        bar.reset();
        QCOMPARE(bar.position(), 0);
        QCOMPARE(bar.direction(), 1);
    }

    void animationRunsOnItsTimer()
    {
        CKCBusyProgressCtrl bar;
        bar.setBusyType(CKCBusyProgressCtrl::ForwardType);
        post(bar, WM_BUSY_SET_INTERVAL, 5);
        post(bar, WM_BUSY_START, 0);
        QTRY_VERIFY(bar.position() >= 2);
        post(bar, WM_BUSY_STOP, 0);
        QTRY_VERIFY(!bar.isRunning());
    }

    void coloursByMessage()
    {
        CKCBusyProgressCtrl bar;
        bar.resize(20, 6);
        bar.setBlocks(2);
        bar.setGap(4);
        post(bar, WM_BUSY_SET_BACKGROUND, 0x00030201);     // RGB(1, 2, 3)
        post(bar, WM_BUSY_SET_HIGHLIGHT_FILL, 0x000000ff); // RGB(255, 0, 0)
        post(bar, WM_BUSY_SET_BLOCK_FILL, 0x00ff0000);     // RGB(0, 0, 255)
        QCoreApplication::processEvents();
        QCOMPARE(bar.blockWidth(), 6);
        const QImage shot = bar.grab().toImage();
        QCOMPARE(shot.pixelColor(3, 3), QColor(255, 0, 0));
        QCOMPARE(shot.pixelColor(13, 3), QColor(0, 0, 255));
        QCOMPARE(shot.pixelColor(8, 3), QColor(1, 2, 3)); // the gap shows the background
        QCOMPARE(shot.pixelColor(19, 3), QColor(1, 2, 3));
        post(bar, WM_BUSY_USE_SYSTEM_BACKGROUND, 1);
        QCoreApplication::processEvents();
        QCOMPARE(bar.backgroundColour(), bar.palette().color(QPalette::Button));
    }
};

QTEST_MAIN(TestBusyBar)
#include "tst_busybar.moc"
