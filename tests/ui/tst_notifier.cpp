#include "PixelProbe.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/CTaskbarNotifier.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QTest>

using Edge = CTaskbarNotifier::TaskbarEdge;
using State = CTaskbarNotifier::AnimState;

namespace {
const QRect screen(0, 0, 1920, 1080);
const QColor magenta(255, 0, 255);

class Owner : public QWidget {
public:
    int clicks = 0;

protected:
    bool event(QEvent* e) override
    {
        if (const WindowMessage* m = WindowMessage::from(e)) {
            if (m->message() == WM_NOTIFIER_CLICKED && m->wParam() == 0 && m->lParam() == 0)
                ++clicks;
            return true;
        }
        return QWidget::event(e);
    }
};

// The popup as the main window sets it up, on a desktop of the test's choosing.
struct Fixture {
    Owner owner;
    CTaskbarNotifier popup;

    explicit Fixture(const QRect& workArea)
    {
        popup.CreatePopup(&owner);
        popup.LoadSkin(2006, magenta);
        popup.SetFonts();
        popup.SetTextColours(Qt::black, QColor(0, 0, 200));
        popup.SetTextArea(QRect(10, 30, popup.skinSize().width() - 20, popup.skinSize().height() - 40));
        popup.setDesktopSource([workArea] { return CTaskbarNotifier::Desktop{screen, workArea}; });
    }

    // Drives the appearing timer until the popup is fully out; returns the number of ticks.
    int slideOut()
    {
        int ticks = 0;
        while (popup.state() != State::Waiting && ticks < 1000) {
            popup.onAppearTick();
            ++ticks;
        }
        return ticks;
    }

    int slideBack()
    {
        popup.onStayElapsed();
        int ticks = 0;
        while (popup.state() != State::Hidden && ticks < 1000) {
            popup.onDisappearTick();
            ++ticks;
        }
        return ticks;
    }
};
} // namespace

class TestNotifier : public QObject {
    Q_OBJECT

private slots:
    void slidesFromTheTaskbarEdge_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<Edge>("edge");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("shown");
        QTest::addColumn<int>("period");
        // Skin 200 by 90, 2 pixels a tick: 100 ticks (5 ms) sideways, 45 ticks (11 ms) upright.
        QTest::newRow("bottom") << QRect(0, 0, 1920, 1040) << Edge::Bottom << QPoint(1718, 1040) << QPoint(1718, 950)
                                << 11;
        QTest::newRow("top") << QRect(0, 40, 1920, 1040) << Edge::Top << QPoint(1720, -50) << QPoint(1720, 40) << 11;
        QTest::newRow("left") << QRect(60, 0, 1860, 1080) << Edge::Left << QPoint(-140, 990) << QPoint(60, 990) << 5;
        QTest::newRow("right") << QRect(0, 0, 1860, 1080) << Edge::Right << QPoint(1860, 990) << QPoint(1660, 990) << 5;
        QTest::newRow("no taskbar") << screen << Edge::Bottom << QPoint(1718, 1080) << QPoint(1718, 990) << 11;
    }

    void slidesFromTheTaskbarEdge()
    {
        QFETCH(QRect, workArea);
        QFETCH(Edge, edge);
        QFETCH(QPoint, start);
        QFETCH(QPoint, shown);
        QFETCH(int, period);
        Fixture f(workArea);
        f.popup.ShowMessage(QStringLiteral("Tallowin Skype Recorder is Running!"));
        QCOMPARE(f.popup.taskbarEdge(), edge);
        QCOMPARE(f.popup.startPosition(), start);
        QCOMPARE(f.popup.pos(), start);
        QVERIFY(f.popup.isVisible());
        QCOMPARE(f.popup.activeTimer(), 1);
        QCOMPARE(f.popup.showPeriod(), period);
        QCOMPARE(f.popup.hidePeriod(), period);

        f.popup.onAppearTick();
        QCOMPARE(f.popup.state(), State::Appearing);
        const int outTicks = f.slideOut();
        QCOMPARE(outTicks, (edge == Edge::Left || edge == Edge::Right ? 100 : 45));
        QCOMPARE(f.popup.currentPosition(), shown);
        QCOMPARE(f.popup.geometry(), QRect(shown, QSize(200, 90)));
        QCOMPARE(f.popup.activeTimer(), 2);

        f.slideBack();
        QCOMPARE(f.popup.currentPosition(), start);
        QCOMPARE(f.popup.state(), State::Hidden);
        QVERIFY(!f.popup.isVisible());
        QCOMPARE(f.popup.activeTimer(), 0);
    }

    void aSecondMessageWhileWaitingRestartsTheStay()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.ShowMessage(QStringLiteral("first"));
        f.slideOut();
        QTest::qWait(100);
        const int before = f.popup.stayTimeLeft();
        f.popup.ShowMessage(QStringLiteral("second"));
        QCOMPARE(f.popup.state(), State::Waiting);
        QCOMPARE(f.popup.text(), QStringLiteral("second"));
        QVERIFY(f.popup.stayTimeLeft() > before);
    }

    void aMessageWhileAppearingOnlyChangesTheText()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.ShowMessage(QStringLiteral("first"));
        for (int i = 0; i < 10; ++i)
            f.popup.onAppearTick();
        const QPoint position = f.popup.currentPosition();
        f.popup.ShowMessage(QStringLiteral("second"));
        QCOMPARE(f.popup.currentPosition(), position);
        QCOMPARE(f.popup.state(), State::Appearing);
        QCOMPARE(f.popup.activeTimer(), 1);
        QCOMPARE(f.popup.text(), QStringLiteral("second"));
    }

    void aMessageWhileDisappearingPutsThePopupBackOut_data()
    {
        QTest::addColumn<int>("stepsBack");
        QTest::addColumn<QPoint>("reached");
        QTest::newRow("stay just over") << 0 << QPoint(60, 990);
        QTest::newRow("sliding back") << 30 << QPoint(0, 990);
    }

    void aMessageWhileDisappearingPutsThePopupBackOut()
    {
        QFETCH(int, stepsBack);
        QFETCH(QPoint, reached);
        Fixture f(QRect(60, 0, 1860, 1080));
        f.popup.ShowMessage(QStringLiteral("first"));
        f.slideOut();
        f.popup.onStayElapsed();
        for (int i = 0; i < stepsBack; ++i)
            f.popup.onDisappearTick();
        QCOMPARE(f.popup.currentPosition(), reached);
        f.popup.ShowMessage(QStringLiteral("second"));
        QCOMPARE(f.popup.currentPosition(), QPoint(60, 990));
        QCOMPARE(f.popup.pos(), QPoint(60, 990));
        QCOMPARE(f.popup.activeTimer(), 2);
        QVERIFY(!f.popup.isDisappearTimerActive());
        QCOMPARE(f.popup.state(), State::Waiting);
        QVERIFY(f.popup.isVisible());
        QCOMPARE(f.popup.text(), QStringLiteral("second"));
        // After the new stay it slides back from the shown place.
        QCOMPARE(f.slideBack(), 101);
        QCOMPARE(f.popup.currentPosition(), QPoint(-140, 990));
    }

    void hideNowStopsEverything()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.ShowMessage(QStringLiteral("text"));
        f.popup.onAppearTick();
        f.popup.HideNow();
        QCOMPARE(f.popup.geometry(), QRect(0, 0, 0, 0));
        QCOMPARE(f.popup.state(), State::Hidden);
        QCOMPARE(f.popup.activeTimer(), 0);
        QVERIFY(!f.popup.isVisible());
        f.popup.ShowMessage(QStringLiteral("again")); // starts over from the edge
        QCOMPARE(f.popup.pos(), QPoint(1718, 1040));
    }

    void withoutASkinNothingShows()
    {
        Owner owner;
        CTaskbarNotifier popup;
        popup.CreatePopup(&owner);
        QVERIFY(!popup.LoadSkin(99999, magenta));
        popup.ShowMessage(QStringLiteral("text"));
        QCOMPARE(popup.state(), State::Hidden);
        QVERIFY(!popup.isVisible());
        QCOMPARE(popup.activeTimer(), 0);
    }

    void magentaPixelsAreHoles()
    {
        Fixture f(screen);
        QVERIFY(!f.popup.mask().contains(QPoint(0, 0)));
        QVERIFY(!f.popup.mask().contains(QPoint(199, 89)));
        QVERIFY(f.popup.mask().contains(QPoint(100, 45)));

        QImage skin(40, 20, QImage::Format_RGB32);
        skin.fill(QColor(240, 240, 240));
        skin.setPixelColor(20, 10, magenta);
        QVERIFY(f.popup.LoadSkin(skin, magenta));
        QVERIFY(!f.popup.mask().contains(QPoint(20, 10)));
        QVERIFY(f.popup.mask().contains(QPoint(21, 10)));
        QCOMPARE(f.popup.textArea(), QRect(0, 0, 40, 20));

        QVERIFY(!f.popup.LoadSkin(QImage(), magenta)); // no skin, no holes
        QVERIFY(f.popup.mask().isEmpty());
    }

    void pointerOverSwitchesTheTextColour()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.ShowMessage(QStringLiteral("Tallowin Skype Recorder is Running!"));
        f.slideOut();
        const QColor hover(0, 0, 200);
        QVERIFY(!probe::contains(f.popup.grab().toImage(), hover));
        QEnterEvent enter(QPointF(50, 50), QPointF(50, 50), QPointF(50, 50));
        QCoreApplication::sendEvent(&f.popup, &enter);
        QVERIFY(f.popup.isHovered());
        QCOMPARE(f.popup.currentTextColour(), hover);
        QVERIFY(probe::contains(f.popup.grab().toImage(), hover));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&f.popup, &leave);
        QCOMPARE(f.popup.currentTextColour(), QColor(Qt::black));
        QVERIFY(!probe::contains(f.popup.grab().toImage(), hover));
    }

    void clickIsPostedToTheOwner()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.ShowMessage(QStringLiteral("text"));
        f.slideOut();
        QTest::mouseClick(&f.popup, Qt::LeftButton, {}, QPoint(100, 50));
        QCOMPARE(f.owner.clicks, 0); // posted, not sent
        QTRY_COMPARE(f.owner.clicks, 1);
        QCOMPARE(f.popup.state(), State::Waiting);
    }

    void longTextEndsInAnEllipsis()
    {
        Fixture f(QRect(0, 0, 1920, 1040));
        f.popup.SetTextColours(QColor(1, 2, 3), QColor(1, 2, 3));
        f.popup.ShowMessage(QString(QStringLiteral("word ")).repeated(60));
        f.slideOut();
        const QImage image = f.popup.grab().toImage();
        // Nothing is drawn outside the text area.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!QRect(10, 30, 180, 50).contains(x, y))
                    QVERIFY(image.pixelColor(x, y) != QColor(1, 2, 3));
        QVERIFY(probe::contains(image, QColor(1, 2, 3)));
    }
};

QTEST_MAIN(TestNotifier)
#include "tst_notifier.moc"
