#include "mainwindow/MainWindowLayout.h"

#include "mainwindow/DockedBar.h"
#include "ui/RectEdges.h"

using RectEdges::bottomOf;
using RectEdges::rightOf;

namespace {
QRect endingAt(int right, int top, const QSize& size)
{
    return QRect(QPoint(right - size.width(), top), size);
}

// The two stream icons one above the other, each meter right of its icon, the time display
// right of the meters.
void placeMeters(MainWindowLayout& l, const QPoint& iconTopLeft)
{
    using L = MainWindowLayout;
    l.mySideIcon = QRect(iconTopLeft, L::streamIconSize);
    l.remoteSideIcon = QRect(QPoint(l.mySideIcon.x(), bottomOf(l.mySideIcon) - 5), L::streamIconSize);
    l.mySideMeter = QRect(QPoint(rightOf(l.mySideIcon), l.mySideIcon.y() + 3), L::meterSize);
    l.remoteSideMeter = QRect(QPoint(rightOf(l.remoteSideIcon), l.remoteSideIcon.y() + 3), L::meterSize);
}

void placePageButtons(MainWindowLayout& l, const QPoint& historyTopLeft)
{
    using L = MainWindowLayout;
    l.history = QRect(historyTopLeft, L::bigButtonSize);
    l.options = QRect(QPoint(rightOf(l.history) + 10, historyTopLeft.y()), L::bigButtonSize);
    l.help = QRect(QPoint(rightOf(l.options) + 10, historyTopLeft.y()), L::bigButtonSize);
}
} // namespace

MainWindowLayout MainWindowLayout::normal(const QRect& r)
{
    MainWindowLayout l;
    l.hide = endingAt(rightOf(r) - 1, r.y() + 1, cornerButtonSize);
    l.topmost = endingAt(l.hide.x(), r.y() + 1, cornerButtonSize);
    l.stick = endingAt(l.topmost.x(), r.y() + 1, cornerButtonSize);
    l.supportLink = endingAt(l.stick.x(), r.y() + 3, supportLinkSize);

    l.record = QRect(QPoint(r.x() + 16, r.y() + 30), bigButtonSize);
    l.pause = QRect(QPoint(r.x() + 56, r.y() + 30), bigButtonSize);
    placeMeters(l, QPoint(rightOf(l.pause) + 10, r.y() + 30));
    l.timeDisplay = QRect(QPoint(rightOf(l.mySideMeter) + 3, r.y() + 30), QPoint(276 - 1, r.y() + 62 - 1));
    placePageButtons(l, QPoint(298, r.y() + 30));

    l.statusLine = QRect(QPoint(r.x() + 5, bottomOf(r) - 20), statusLineSize);
    l.recordingStatusLine =
        QRect(QPoint(rightOf(l.statusLine), l.statusLine.y()), QPoint(rightOf(r) - 10 - 1, l.statusLine.bottom()));
    return l;
}

MainWindowLayout MainWindowLayout::docked(int barWidth)
{
    const int a = DockedBar::middleOffset(barWidth);
    MainWindowLayout l;
    l.record = QRect(QPoint(a + 11, 7), bigButtonSize);
    l.pause = QRect(QPoint(a + 53, 7), bigButtonSize);
    placeMeters(l, QPoint(a + 93, 7));
    const int meterRight = rightOf(l.mySideMeter);
    l.timeDisplay = QRect(QPoint(meterRight + 3, 6), QPoint(meterRight + 75 - 1, 38 - 1));
    placePageButtons(l, QPoint(meterRight + 102, 5));
    return l;
}
