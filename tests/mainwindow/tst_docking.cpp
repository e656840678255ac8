#include "MainWindowFixture.h"

#include "history/CDlgRecHistory.h"
#include "mainwindow/DockedBar.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/CKCBusyProgressCtrl.h"
#include "ui/CLabelEx.h"
#include "ui/CMyButtonST.h"
#include "ui/SkinPictures.h"

#include <QTest>

namespace {
constexpr QRect undockedPlace(300, 300, 438, 98);

void startsDocked(CGeneralProfile& p)
{
    p.sticksky = true;
    p.hispos = "300,300,738,398";
}

void startsUndocked(CGeneralProfile& p)
{
    p.hispos = "300,300,738,398";
}

// How many of the six controls the docked bar has no room for are hidden: none or all of them.
int hiddenCornerControls(CHelloWorldDlg& window)
{
    int hidden = 0;
    for (int id : {CHelloWorldDlg::HideButton, CHelloWorldDlg::TopmostButton, CHelloWorldDlg::StickButton})
        hidden += window.button(id)->isHidden() ? 1 : 0;
    for (int id : {CHelloWorldDlg::StatusLine, CHelloWorldDlg::RecordingStatusLine, CHelloWorldDlg::SupportLink})
        hidden += window.label(id)->isHidden() ? 1 : 0;
    return hidden;
}

// Skype's window 800 pixels wide at left 100 with its bottom at 600; the window starts and the
// Skype-window timer has ticked once.
constexpr QRect skypePlace(100, 200, 800, 400);

CHelloWorldDlg& startBesideSkype(MainWindowFixture& f)
{
    f.desktop.openSkype(skypePlace);
    CHelloWorldDlg& window = f.start();
    window.onSkypeWindowTick();
    return window;
}

bool samePixels(const QImage& image, const QPoint& at, const QImage& piece, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(at.x() + x, at.y() + y) != piece.pixel(x, y))
                return false;
    return true;
}
} // namespace

class TestDocking : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TSR_SITE_URL", "http://127.0.0.1:9/"); }

    void barPictureFromItsPieces_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("middle");
        QTest::newRow("800 pixels") << 800 << 187;
        QTest::newRow("narrowest") << 500 << 37;
        QTest::newRow("odd width") << 1001 << 287;
    }

    void barPictureFromItsPieces()
    {
        QFETCH(int, width);
        QFETCH(int, middle);
        QCOMPARE(DockedBar::middleOffset(width), middle);
        const DockedBar::Pieces pieces = DockedBar::loadPieces();
        const QImage bar = DockedBar::build(width, pieces);
        QCOMPARE(bar.size(), QSize(width, 45));
        QVERIFY(samePixels(bar, QPoint(0, 0), pieces.leftEnd, pieces.leftEnd.rect()));
        QVERIFY(samePixels(bar, QPoint(width - 37, 0), pieces.rightEnd, pieces.rightEnd.rect()));
        QVERIFY(samePixels(bar, QPoint(middle, 0), pieces.middle, pieces.middle.rect()));
        QVERIFY(samePixels(bar, QPoint(37, 0), pieces.filler, pieces.filler.rect()));
        QVERIFY(samePixels(bar, QPoint(width - middle - 1, 0), pieces.filler, QRect(0, 0, 1, 45)));
        // No gap between the pieces shows white.
        for (int x = 3; x < width - 3; ++x)
            QVERIFY2(bar.pixelColor(x, 22) != Qt::white, qPrintable(QString::number(x)));
    }

    void barWithoutItsPiecesIsNone()
    {
        DockedBar::Pieces pieces = DockedBar::loadPieces();
        pieces.filler = QImage();
        QVERIFY(DockedBar::build(800, pieces).isNull());
    }

    void barSitsUnderSkypesWindow()
    {
        MainWindowFixture f(startsDocked);
        f.desktop.openSkype(skypePlace); // left 100, bottom 600
        CHelloWorldDlg& window = f.start();
        QCOMPARE(hiddenCornerControls(window), 6);
        QCOMPARE(f.desktop.raised, 1);

        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(window.docking().dockedRect(), QRect(100, 600, 800, 45));
        QVERIFY(window.docking().isBarShown());

        // The controls on the bar, counted from a = 187.
        const int a = 187;
        QCOMPARE(window.button(CHelloWorldDlg::RecordButton)->geometry(), QRect(a + 11, 7, 32, 32));
        QCOMPARE(window.button(CHelloWorldDlg::PauseButton)->geometry(), QRect(a + 53, 7, 32, 32));
        QCOMPARE(window.button(CHelloWorldDlg::MySideIcon)->pos(), QPoint(a + 93, 7));
        QCOMPARE(window.button(CHelloWorldDlg::RemoteSideIcon)->pos(), QPoint(a + 93, 22));
        QCOMPARE(window.meter(CHelloWorldDlg::MySideMeter)->pos(), QPoint(a + 113, 10));
        QCOMPARE(window.meter(CHelloWorldDlg::RemoteSideMeter)->pos(), QPoint(a + 113, 25));
        QCOMPARE(window.timeDisplayRect(), QRect(QPoint(a + 196, 6), QPoint(a + 267, 37)));
        QCOMPARE(window.button(CHelloWorldDlg::HistoryButton)->pos(), QPoint(a + 295, 5));
        QCOMPARE(window.button(CHelloWorldDlg::OptionsButton)->pos(), QPoint(a + 337, 5));
        QCOMPARE(window.button(CHelloWorldDlg::HelpButton)->pos(), QPoint(a + 379, 5));

        // Drawn as the bar, shaped by its white edge.
        const QImage bar = DockedBar::build(800, DockedBar::loadPieces());
        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.pixelColor(20, 22), bar.pixelColor(20, 22));
        QCOMPARE(shot.pixelColor(a + 150, 42), bar.pixelColor(a + 150, 42));
        QVERIFY(!window.mask().contains(QPoint(1, 22)));
        QVERIFY(window.mask().contains(QPoint(400, 22)));

        // A second tick with nothing moved changes nothing.
        const int skypeMoves = f.desktop.skypeMoves.size();
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(f.desktop.skypeMoves.size(), skypeMoves);
    }

    void skypeWindowTooLowIsShortened_data()
    {
        QTest::addColumn<QRect>("skype");
        QTest::newRow("bottom 20 pixels above the taskbar") << QRect(100, 620, 800, 400);
        QTest::newRow("bottom on the taskbar") << QRect(100, 620, 800, 420);
        QTest::newRow("bottom below the screen") << QRect(100, 620, 800, 600);
    }

    void skypeWindowTooLowIsShortened()
    {
        QFETCH(QRect, skype);
        MainWindowFixture f(startsDocked);
        f.desktop.openSkype(skype);
        CHelloWorldDlg& window = f.start();
        window.onSkypeWindowTick();
        QCOMPARE(*f.desktop.skype, QRect(100, 620, 800, 995 - 620));
        QCOMPARE(window.geometry(), QRect(100, 995, 800, 45));
    }

    void barFollowsSkypesWindowAndItsWidth()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = startBesideSkype(f);

        f.desktop.skype = QRect(50, 100, 640, 300);
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(50, 400, 640, 45));
        QCOMPARE(window.docking().barPicture().width(), 640);
        QCOMPARE(window.button(CHelloWorldDlg::RecordButton)->pos(), QPoint((640 - 426) / 2 + 11, 7));

        // Too narrow for the bar: it stays where it was until Skype's window is wide again.
        f.desktop.skype = QRect(50, 100, 499, 300);
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(50, 400, 640, 45));
    }

    void skypeClosedSendsTheWindowBack()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        window.OnHistory();
        QVERIFY(window.historyWindow()->isTopmost());

        f.desktop.closeSkype();
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), undockedPlace);
        QCOMPARE(hiddenCornerControls(window), 0);
        QVERIFY(!window.historyWindow()->isTopmost());
        QVERIFY(!window.docking().isBarShown());
        QVERIFY(window.docking().isDocked());
        QVERIFY(MainWindowFixture::storedSettings()->sticksky);
        QVERIFY(!window.mask().contains(QPoint(0, 0)));
        QVERIFY(window.mask().contains(QPoint(200, 50)));

        // Skype's window comes back at the same place: so does the bar.
        f.desktop.openSkype(skypePlace);
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(hiddenCornerControls(window), 6);
    }

    void skypeClosedLeavesAnUndockedWindowWhereItIs()
    {
        MainWindowFixture f(startsUndocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        QCOMPARE(window.geometry(), undockedPlace);
        window.move(500, 500);

        f.desktop.closeSkype();
        window.onSkypeWindowTick();
        QCOMPARE(window.pos(), QPoint(500, 500));
        QCOMPARE(hiddenCornerControls(window), 0);
    }

    void stickToggleDocksAndUndocks()
    {
        MainWindowFixture f(startsUndocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        window.move(350, 320); // the user has moved it since Skype was found

        window.button(CHelloWorldDlg::StickButton)->click();
        QVERIFY(window.docking().isDocked());
        QVERIFY(MainWindowFixture::storedSettings()->sticksky);
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(hiddenCornerControls(window), 6);
        QVERIFY(window.historyWindow()->isTopmost());

        window.OnStick(); // as the tray menu's item does
        QVERIFY(!window.docking().isDocked());
        QVERIFY(!MainWindowFixture::storedSettings()->sticksky);
        QCOMPARE(window.geometry(), QRect(350, 320, 438, 98));
        QCOMPARE(hiddenCornerControls(window), 0);
        QVERIFY(!window.historyWindow()->isTopmost());
    }

    void stickingWidensANarrowSkypeWindow()
    {
        MainWindowFixture f(startsUndocked);
        f.desktop.openSkype(QRect(100, 200, 400, 400));
        CHelloWorldDlg& window = f.start();
        window.OnStick();
        QCOMPARE(*f.desktop.skype, QRect(100, 200, 508, 400));
        QCOMPARE(window.geometry(), QRect(100, 600, 508, 45));
    }

    void stickingWithoutSkypeSwitchesBack()
    {
        MainWindowFixture f(startsUndocked);
        CHelloWorldDlg& window = f.start();
        window.OnStick();
        QVERIFY(!window.docking().isDocked());
        QVERIFY(!MainWindowFixture::storedSettings()->sticksky);
        QCOMPARE(window.geometry(), undockedPlace);
    }

    void startingDockedWithoutSkypeShowsTheFullWindow()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = f.start();
        QCOMPARE(hiddenCornerControls(window), 6);
        window.onSkypeWindowTick();
        QCOMPARE(hiddenCornerControls(window), 0);
        QCOMPARE(window.geometry(), undockedPlace);

        // Skype starts later: the bar goes under it.
        f.desktop.openSkype(skypePlace);
        window.onSkypeWindowTick();
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(hiddenCornerControls(window), 6);
    }

    void skypeWindowStatesShowAndHideTheBar()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        window.show();

        PostWindowMessage(&window, WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_HIDDEN);
        settle();
        QVERIFY(!window.isVisible());
        PostWindowMessage(&window, WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_NORMAL);
        settle();
        QVERIFY(window.isVisible());
    }

    void skypeWindowStatesLeaveAnUndockedWindowAlone()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.show();
        PostWindowMessage(&window, WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_HIDDEN);
        settle();
        QVERIFY(window.isVisible());
        window.hide();
        PostWindowMessage(&window, WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_NORMAL);
        settle();
        QVERIFY(!window.isVisible());
    }

    void positionIsNotSavedWhileDocked()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        window.historyWindow()->move(10, 20);
        f.end();
        // What is kept is the history window's own place.
        const QString kept = MainWindowFixture::storedSettings()->hispos;
        QVERIFY2(kept.startsWith("10,20,"), qPrintable(kept));
    }

    void historyButtonPlacesTheHistoryWindow()
    {
        MainWindowFixture f(startsUndocked);
        CHelloWorldDlg& window = f.start();
        CDlgRecHistory* history = window.historyWindow();
        window.OnHistory();
        QVERIFY(history->isVisible());
        QCOMPARE(history->pos(), QPoint(300, 398));
        QVERIFY(!history->isTopmost());
        window.OnHistory();
        QVERIFY(!history->isVisible());
    }

    void historyButtonOnTheBarPlacesItAbove()
    {
        MainWindowFixture f(startsDocked);
        CHelloWorldDlg& window = startBesideSkype(f);
        CDlgRecHistory* history = window.historyWindow();
        window.OnHistory();
        QVERIFY(history->isVisible());
        QVERIFY(history->isTopmost());
        QCOMPARE(history->pos(), QPoint(100 + (800 - history->width()) / 2, 600 - history->height()));
    }

    // The history window follows the first moves of the main window, whatever moved it, and
    // afterwards only the moves the program did not make itself.
    void historyWindowFollowsTheMainWindow()
    {
        MainWindowFixture f(startsUndocked);
        f.desktop.openSkype(skypePlace);
        CHelloWorldDlg& window = f.start();
        CDlgRecHistory* history = window.historyWindow();
        history->move(5, 5); // it opens where it was left, as the main window does
        window.show();
        settle();
        QCOMPARE(history->pos(), QPoint(300, 398));
        for (int i = 1; i <= 12; ++i) {
            window.move(300 + i, 300);
            settle();
        }

        // The program's own moves (onto the bar) now leave it alone.
        window.OnStick();
        settle();
        QCOMPARE(window.geometry(), QRect(100, 600, 800, 45));
        QCOMPARE(history->x(), 312);

        // The user's moves still take it along.
        window.OnStick();
        window.move(600, 500);
        settle();
        QCOMPARE(history->pos(), QPoint(600, 598));
    }
};

QTEST_MAIN(TestDocking)
#include "tst_docking.moc"
