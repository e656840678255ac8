#pragma once

#include "mainwindow/CHelloWorldDlg.h"
#include "mainwindow/TrayIcon.h"
#include "platform/SkypeWindowFinder.h"
#include "settings/CGeneralProfile.h"
#include "skype/SkypeLink.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShell.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <functional>
#include <memory>
#include <optional>

// What the tray icon was asked to do; kept by the test, so it outlives the window.
struct TrayRecord {
    bool added = false;
    bool removed = false;
    QString tip;
    QList<QList<TrayMenuItem>> menus;
    int answer = 0; // the command "chosen" from the next menu
};

// The tray icon of a desktop without a notification area: it shows nothing and answers menus
// with a preset command.
class FakeTrayIcon : public TrayIcon {
public:
    explicit FakeTrayIcon(TrayRecord& record) : m_record(record) {}
    bool add(const QIcon&, const QString& tip) override
    {
        m_record.added = true;
        m_record.tip = tip;
        return true;
    }
    void remove() override { m_record.removed = true; }
    int trackMenu(const QList<TrayMenuItem>& items) override
    {
        m_record.menus.append(items);
        return m_record.answer;
    }

private:
    TrayRecord& m_record;
};

// A desktop with at most one Skype window, which the test opens, moves and closes.
struct FakeDesktop {
    std::optional<QRect> skype;
    SkypeWindowFinder::WindowId id = 17;
    int raised = 0;
    QList<QRect> skypeMoves;

    void openSkype(const QRect& rect)
    {
        skype = rect;
        ++id; // a new window each time
    }
    void closeSkype() { skype.reset(); }
};

class FakeSkypeWindowFinder : public SkypeWindowFinder {
public:
    explicit FakeSkypeWindowFinder(FakeDesktop& desktop) : m_desktop(desktop) {}
    WindowId findSkypeWindow() override { return m_desktop.skype ? m_desktop.id : 0; }
    std::optional<QRect> windowRect(WindowId window) override
    {
        if (!m_desktop.skype || window != m_desktop.id)
            return std::nullopt;
        return m_desktop.skype;
    }
    bool moveWindow(WindowId window, const QRect& rect) override
    {
        if (!windowRect(window))
            return false;
        m_desktop.skype = rect;
        m_desktop.skypeMoves.append(rect);
        return true;
    }
    void showNormalAndRaise(WindowId) override { ++m_desktop.raised; }

private:
    FakeDesktop& m_desktop;
};

// A main window in a home of its own, on a fake tray and desktop. The settings can be stored
// before the window starts; start() runs its initialisation.
class MainWindowFixture {
public:
    static QRect defaultWorkArea() { return QRect(0, 0, 1920, 1040); }

    explicit MainWindowFixture(const std::function<void(CGeneralProfile&)>& settings = {},
                               const QRect& workArea = defaultWorkArea())
    {
        if (settings)
            storeSettings(settings);
        window = std::make_unique<CHelloWorldDlg>();
        window->setTrayIcon(std::make_unique<FakeTrayIcon>(tray));
        window->setSkypeWindowFinder(std::make_unique<FakeSkypeWindowFinder>(desktop));
        window->setWorkAreaSource([workArea] { return workArea; });
    }
    ~MainWindowFixture() { end(); }

    CHelloWorldDlg& start()
    {
        window->OnInitDialog();
        return *window;
    }
    // The window goes, with everything its end takes down.
    void end()
    {
        window.reset();
        SkypeLink::ShutdownLink();
    }

    static void storeSettings(const std::function<void(CGeneralProfile&)>& change)
    {
        CGeneralProfile profile;
        profile.Load();
        change(profile);
        profile.setModified();
        profile.Save();
    }
    // The settings as stored now.
    static std::unique_ptr<CGeneralProfile> storedSettings()
    {
        auto profile = std::make_unique<CGeneralProfile>();
        profile->Load();
        return profile;
    }

    TestEnvironment env;
    RecordingShell shell;
    RecordingMessagePresenter boxes;
    TrayRecord tray;
    FakeDesktop desktop;
    std::unique_ptr<CHelloWorldDlg> window;
};

// Lets posted messages and the repaints they cause happen.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
