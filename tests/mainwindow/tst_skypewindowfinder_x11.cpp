// The desktop's Skype-window finder on a real X11 display (a virtual one: the test runs under
// xvfb-run), against the stand-in Skype client's main window.

#include "platform/SkypeWindowFinder.h"
#include "support/StandInProcess.h"

#include <QTest>

#include <xcb/xcb.h>

namespace {
// A connection of the test's own, to do to the stand-in's window what a window manager or the
// user would: hide it, destroy it. It stays open for the whole test: an X server with no client
// left resets itself, and refuses connections meanwhile.
class TestDisplay {
public:
    TestDisplay() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~TestDisplay() { xcb_disconnect(m_connection); }
    bool isOpen() const { return !xcb_connection_has_error(m_connection); }
    void unmap(SkypeWindowFinder::WindowId window)
    {
        xcb_unmap_window(m_connection, static_cast<xcb_window_t>(window));
        xcb_flush(m_connection);
    }
    void destroy(SkypeWindowFinder::WindowId window)
    {
        xcb_destroy_window(m_connection, static_cast<xcb_window_t>(window));
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t* m_connection;
};

QStringList windowEvents(StandInProcess& skype)
{
    return skype.lines(QStringLiteral("event")).filter(QStringLiteral("window"));
}
} // namespace

class TestSkypeWindowFinderX11 : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !m_display.isOpen())
            QSKIP("no X11 display (the test runs under xvfb-run)");
    }

    void findsMovesAndLosesTheStandInsWindow()
    {
        const std::unique_ptr<SkypeWindowFinder> finder = SkypeWindowFinder::create();
        QCOMPARE(finder->findSkypeWindow(), SkypeWindowFinder::WindowId(0));

        StandInProcess skype(TSR_SKYPE_STANDIN, {"--window", "--window-geometry", "420x300+40+50"});
        QVERIFY(skype.waitUntilReady());
        SkypeWindowFinder::WindowId window = 0;
        QTRY_VERIFY((window = finder->findSkypeWindow()) != 0);
        QCOMPARE(finder->windowRect(window), std::optional<QRect>(QRect(40, 50, 420, 300)));

        QVERIFY(finder->moveWindow(window, QRect(60, 70, 508, 280)));
        QTRY_COMPARE(finder->windowRect(window), std::optional<QRect>(QRect(60, 70, 508, 280)));

        // Hidden and shown again, the stand-in reports its window's state to its programs.
        QTRY_COMPARE(windowEvents(skype).filter("NORMAL").size(), 1);
        m_display.unmap(window);
        QTRY_VERIFY(windowEvents(skype).contains("window HIDDEN"));
        QVERIFY(skype.lines("event").contains("no program attached for: WINDOWSTATE HIDDEN"));
        finder->showNormalAndRaise(window);
        QTRY_COMPARE(windowEvents(skype).filter("NORMAL").size(), 2);
        QVERIFY(finder->windowRect(window).has_value());

        // Gone: its rectangle can no longer be read.
        m_display.destroy(window);
        QTRY_VERIFY(!finder->windowRect(window).has_value());
        QCOMPARE(finder->findSkypeWindow(), SkypeWindowFinder::WindowId(0));
        QVERIFY(!finder->moveWindow(window, QRect(0, 0, 600, 400)));
    }

    // Of two Skype windows, the Unicode one is taken.
    void unicodeClassComesFirst()
    {
        StandInProcess older(TSR_SKYPE_STANDIN, {"--window", "--window-geometry", "600x400+0+0"});
        QVERIFY(older.waitUntilReady());
        StandInProcess unicode(TSR_SKYPE_STANDIN, {"--no-name", "--window", "--window-class",
                                                   "tSkMainForm.UnicodeClass", "--window-geometry", "500x300+30+40"});
        QVERIFY(unicode.waitUntilReady());
        const std::unique_ptr<SkypeWindowFinder> finder = SkypeWindowFinder::create();
        QTRY_COMPARE(finder->windowRect(finder->findSkypeWindow()), std::optional<QRect>(QRect(30, 40, 500, 300)));
    }

private:
    TestDisplay m_display;
};

QTEST_GUILESS_MAIN(TestSkypeWindowFinderX11)
#include "tst_skypewindowfinder_x11.moc"
