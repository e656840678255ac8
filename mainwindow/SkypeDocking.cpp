#include "mainwindow/SkypeDocking.h"

#include "settings/CGeneralProfile.h"
#include "ui/RectEdges.h"

using RectEdges::bottomOf;
using RectEdges::rightOf;

SkypeDocking::SkypeDocking(DockingHost& host) : m_host(host) {}

void SkypeDocking::setFinder(std::unique_ptr<SkypeWindowFinder> finder)
{
    m_finder = std::move(finder);
    m_skypeWindow = 0;
}

void SkypeDocking::loadBarPieces()
{
    m_pieces = DockedBar::loadPieces();
}

void SkypeDocking::start(bool sticksky)
{
    m_docked = sticksky;
    m_host.showCornerControls(!m_docked);
    if (m_docked)
        FindSkypeWindow();
}

// Skype's window is shown and, when it is too narrow for the bar's controls, widened.
void SkypeDocking::FindSkypeWindow()
{
    if (!m_finder)
        return;
    if (m_skypeWindow == 0) {
        m_skypeWindow = m_finder->findSkypeWindow();
        if (m_skypeWindow != 0)
            m_finder->showNormalAndRaise(m_skypeWindow);
    }
    if (m_skypeWindow == 0)
        return;
    const std::optional<QRect> skype = m_finder->windowRect(m_skypeWindow);
    if (skype && skype->width() < MinimumSkypeWidth) {
        QRect widened = *skype;
        widened.setWidth(WidenedSkypeWidth);
        m_finder->moveWindow(m_skypeWindow, widened);
    }
}

void SkypeDocking::saveSticksky(bool on)
{
    CGeneralProfile& profile = CGeneralProfile::Instance();
    profile.sticksky = on;
    m_docked = on;
    profile.setModified();
    profile.Save();
}

void SkypeDocking::StickToggle()
{
    saveSticksky(!CGeneralProfile::Instance().sticksky);
    if (m_docked)
        dock();
    else
        undock();
}

// Without a Skype window to stick to, the setting flips back at once.
void SkypeDocking::dock()
{
    FindSkypeWindow();
    const std::optional<QRect> skype =
        m_finder && m_skypeWindow != 0 ? m_finder->windowRect(m_skypeWindow) : std::nullopt;
    if (!skype) {
        saveSticksky(false);
        return;
    }
    // Coming back from the bar returns the window to where the user has it now.
    m_undockedRect = m_host.windowRect();
    followSkypeWindow(*skype);
    if (!m_dockedRect.isEmpty())
        m_host.moveWindow(m_dockedRect);
    if (!m_barPicture.isNull())
        m_host.setBarShape(m_barPicture);
    m_host.showCornerControls(false);
    m_host.setHistoryTopmost(true);
    m_host.redrawNow();
}

void SkypeDocking::undock()
{
    moveToUndockedPlace();
    m_host.setNormalShape();
    m_host.showCornerControls(true);
    m_host.setHistoryTopmost(false);
    m_host.redrawNow();
}

void SkypeDocking::moveToUndockedPlace()
{
    if (!m_undockedRect.isEmpty())
        m_host.moveWindow(m_undockedRect);
}

void SkypeDocking::onSkypeWindowTick()
{
    if (!m_finder)
        return;
    if (m_skypeWindow == 0)
        lookForSkypeWindow();
    if (m_skypeWindow == 0)
        return;
    const std::optional<QRect> skype = m_finder->windowRect(m_skypeWindow);
    if (!skype)
        skypeWindowGone();
    else if (m_docked && !barSitsUnder(*skype))
        followSkypeWindow(*skype);
}

void SkypeDocking::lookForSkypeWindow()
{
    m_skypeWindow = m_finder->findSkypeWindow();
    if (m_skypeWindow == 0) {
        if (!m_host.cornerControlsShown())
            m_host.showCornerControls(true);
        return;
    }
    m_finder->showNormalAndRaise(m_skypeWindow);
    if (m_docked && m_host.cornerControlsShown())
        m_host.showCornerControls(false);
    m_undockedRect = m_host.windowRect();
}

// The bar's place is forgotten, so it is put back under Skype's window when that comes back,
// even at the same place. A window that was not on the bar stays where the user has it.
void SkypeDocking::skypeWindowGone()
{
    m_skypeWindow = 0;
    m_dockedRect = QRect();
    if (m_docked)
        moveToUndockedPlace();
    m_host.setNormalShape();
    m_host.showCornerControls(true);
    m_host.setHistoryTopmost(false);
    m_host.redrawNow();
}

bool SkypeDocking::barSitsUnder(const QRect& skype) const
{
    return skype.x() == m_dockedRect.x() && rightOf(skype) == rightOf(m_dockedRect) &&
           bottomOf(skype) == m_dockedRect.y();
}

// Skype's window is shortened when the bar would not fit between it and the taskbar; the bar
// follows only a window wide enough for its controls.
void SkypeDocking::followSkypeWindow(QRect skype)
{
    const int workBottom = bottomOf(m_workArea);
    if (workBottom != 0 && (bottomOf(skype) >= workBottom || workBottom - bottomOf(skype) < DockedBar::Height)) {
        skype.setHeight(qMax(1, workBottom - DockedBar::Height - skype.y()));
        m_finder->moveWindow(m_skypeWindow, skype);
    }
    if (skype.width() < MinimumSkypeWidth)
        return;
    if (m_undockedRect.isEmpty())
        m_undockedRect = m_host.windowRect();
    const int previousWidth = m_dockedRect.width();
    m_dockedRect = QRect(skype.x(), bottomOf(skype), skype.width(), DockedBar::Height);
    m_host.moveWindow(m_dockedRect);
    if (m_dockedRect.width() == previousWidth)
        return;
    m_barPicture = DockedBar::build(m_dockedRect.width(), m_pieces);
    m_host.setBarShape(m_barPicture);
    m_host.redrawNow();
}
