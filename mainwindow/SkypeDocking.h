#pragma once

#include "mainwindow/DockedBar.h"
#include "platform/SkypeWindowFinder.h"

#include <QImage>
#include <QRect>
#include <memory>

// What the docking asks of the main window.
class DockingHost {
public:
    virtual ~DockingHost() = default;
    // The main window's rectangle on the screen.
    virtual QRect windowRect() const = 0;
    virtual void moveWindow(const QRect& rect) = 0;
    // The window's shape: the bar's picture without its white pixels, or the main background's
    // without its green ones.
    virtual void setBarShape(const QImage& bar) = 0;
    virtual void setNormalShape() = 0;
    // The Hide, Top-most and Stick to Skype buttons and the three labels, which the docked bar
    // has no room for.
    virtual void showCornerControls(bool show) = 0;
    virtual bool cornerControlsShown() const = 0;
    virtual void setHistoryTopmost(bool topmost) = 0;
    virtual void redrawNow() = 0;
};

// "Stick to Skype": the main window turns into a 45-pixel bar glued under the Skype client's
// main window and follows it, and goes back to where it was when Skype's window goes away. The
// sticksky setting says whether the user wants it; the Skype-window timer does the following.
class SkypeDocking {
public:
    static constexpr int SkypeWindowTickMs = 200;
    static constexpr int MinimumSkypeWidth = 500;
    static constexpr int WidenedSkypeWidth = 508;

    explicit SkypeDocking(DockingHost& host);

    void setFinder(std::unique_ptr<SkypeWindowFinder> finder);
    SkypeWindowFinder* finder() const { return m_finder.get(); }
    void loadBarPieces();
    void setWorkArea(const QRect& workArea) { m_workArea = workArea; }
    QRect workArea() const { return m_workArea; }
    void setUndockedRect(const QRect& rect) { m_undockedRect = rect; }

    // The docking state at start-up, from the sticksky setting: docked, the corner controls are
    // hidden and Skype's window is looked up (and widened); the first tick puts the bar there.
    void start(bool sticksky);
    // The Stick to Skype button and tray menu item: flips and saves sticksky and docks or undocks.
    void StickToggle();
    // What the Skype-window timer calls every 200 ms.
    void onSkypeWindowTick();

    bool isDocked() const { return m_docked; }
    // Docked under a Skype window with the bar's picture ready: the window shows as the bar.
    bool isBarShown() const { return m_docked && m_skypeWindow != 0 && !m_barPicture.isNull(); }
    const QImage& barPicture() const { return m_barPicture; }
    SkypeWindowFinder::WindowId skypeWindow() const { return m_skypeWindow; }
    QRect dockedRect() const { return m_dockedRect; }
    QRect undockedRect() const { return m_undockedRect; }

private:
    void FindSkypeWindow();
    void saveSticksky(bool on);
    void dock();
    void undock();
    void lookForSkypeWindow();
    void skypeWindowGone();
    bool barSitsUnder(const QRect& skype) const;
    void followSkypeWindow(QRect skype);
    void moveToUndockedPlace();

    DockingHost& m_host;
    std::unique_ptr<SkypeWindowFinder> m_finder;
    DockedBar::Pieces m_pieces;
    QImage m_barPicture;
    bool m_docked = false;
    SkypeWindowFinder::WindowId m_skypeWindow = 0;
    QRect m_dockedRect;
    QRect m_undockedRect;
    QRect m_workArea;
};
