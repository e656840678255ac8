#pragma once

#include <QRect>
#include <QSize>

// Where the main window's controls go, in pixels of the window: the full bar (normal mode) or
// the 45-pixel bar stuck under Skype's window (docked mode). Rectangles left empty are not
// placed in that mode (the corner buttons and the labels are hidden while docked).
struct MainWindowLayout {
    static constexpr QSize cornerButtonSize{16, 16};
    static constexpr QSize supportLinkSize{76, 18};
    static constexpr QSize bigButtonSize{32, 32};
    static constexpr QSize streamIconSize{20, 20};
    static constexpr QSize meterSize{80, 13};
    static constexpr QSize statusLineSize{160, 18};

    QRect hide, topmost, stick, supportLink;
    QRect record, pause;
    QRect mySideIcon, remoteSideIcon, mySideMeter, remoteSideMeter;
    QRect timeDisplay;
    QRect history, options, help;
    QRect statusLine, recordingStatusLine;

    // The full bar in a window whose client rectangle is the given one.
    static MainWindowLayout normal(const QRect& client);
    // The docked bar of the given width.
    static MainWindowLayout docked(int barWidth);
};
