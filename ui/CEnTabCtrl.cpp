#include "ui/CEnTabCtrl.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace {
int sharedFlags = 0;

// The tab strip drawn by the control's colour rules.
class EnTabBar : public QTabBar {
public:
    explicit EnTabBar(CEnTabCtrl* control) : QTabBar(control), m_control(control) {}

protected:
    // Drawn by the control, the tabs are all as wide as the widest one.
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        if (!m_control->isOwnerDrawn())
            return size;
        for (int i = 0; i < count(); ++i)
            size.setWidth(qMax(size.width(), QTabBar::tabSizeHint(i).width()));
        return size;
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (!m_control->isOwnerDrawn()) {
            QTabBar::paintEvent(event);
            return;
        }
        QPainter p(this);
        for (int i = 0; i < count(); ++i)
            paintTab(p, i, i == currentIndex());
    }

private:
    void paintTab(QPainter& p, int index, bool selected) const
    {
        QRect item = tabRect(index);
        if (selected)
            item.setBottom(item.bottom() - 1);
        else
            item.setBottom(item.bottom() + 2);
        const QColor background = m_control->tabBackground(selected);
        fillTab(p, item, background, selected);

        int left = item.left() + 3;
        const int top = item.top() + (selected ? 4 : 3);
        const QIcon icon = tabIcon(index);
        if (!icon.isNull()) {
            p.drawPixmap(left, top, icon.pixmap(iconSize()));
            left += 19;
        }
        const QRect textArea(left, top, item.right() - 3 - left + 1, item.bottom() - top + 1);
        const QString text = p.fontMetrics().elidedText(tabText(index).left(99), Qt::ElideRight, textArea.width());
        p.setPen(m_control->tabTextColour(selected));
        p.drawText(textArea, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);

        const QColor light = CEnTabCtrl::lighten(background, 1.5);
        const QColor dark = CEnTabCtrl::darken(background, 0.75);
        p.setPen(selected || !(CEnTabCtrl::flags() & CEnTabCtrl::BackTabs) ? light : dark);
        p.drawLine(item.topLeft(), item.bottomLeft());
        if (selected || !(CEnTabCtrl::flags() & CEnTabCtrl::BackTabs)) {
            p.drawLine(item.topLeft(), item.topRight());
        }
        p.setPen(dark);
        p.drawLine(item.topRight(), item.bottomRight());
    }

    void fillTab(QPainter& p, const QRect& item, const QColor& background, bool selected) const
    {
        if (!(CEnTabCtrl::flags() & CEnTabCtrl::Gradient) || QPixmap::defaultDepth() <= 15) {
            p.fillRect(item, background);
            return;
        }
        const QColor end = m_control->tabGradientEnd(selected);
        const int height = qMax(1, item.height());
        for (int y = 0; y < item.height(); y += 2) {
            const double t = double(y) / height;
            const QColor band(qRound(background.red() + (end.red() - background.red()) * t),
                              qRound(background.green() + (end.green() - background.green()) * t),
                              qRound(background.blue() + (end.blue() - background.blue()) * t));
            p.fillRect(QRect(item.left(), item.top() + y, item.width(), qMin(2, item.height() - y)), band);
        }
    }

    CEnTabCtrl* m_control;
};
} // namespace

CEnTabCtrl::CEnTabCtrl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new EnTabBar(this));
}

void CEnTabCtrl::setFlags(int flags)
{
    sharedFlags = flags;
}

int CEnTabCtrl::flags()
{
    return sharedFlags;
}

void CEnTabCtrl::setOwnerDrawn(bool on)
{
    m_ownerDrawn = on;
    update();
    tabBar()->update();
}

bool CEnTabCtrl::isOwnerDrawn() const
{
    return m_ownerDrawn || sharedFlags != 0;
}

void CEnTabCtrl::setColour(const QColor& colour)
{
    m_colour = colour;
    update();
    tabBar()->update();
}

QColor CEnTabCtrl::darken(const QColor& colour, double factor)
{
    const double f = qBound(0.0, factor, 1.0);
    return QColor(int(colour.red() * f), int(colour.green() * f), int(colour.blue() * f));
}

QColor CEnTabCtrl::lighten(const QColor& colour, double factor)
{
    const double f = qMax(1.0, factor);
    return QColor(qMin(255, int(colour.red() * f)), qMin(255, int(colour.green() * f)),
                  qMin(255, int(colour.blue() * f)));
}

// The given colour when it may be used and was given, else the button face.
QColor CEnTabCtrl::baseColour(bool useGiven) const
{
    return useGiven && m_colour.isValid() ? m_colour : palette().color(QPalette::Button);
}

QColor CEnTabCtrl::tabBackground(bool selected) const
{
    if (selected) {
        if (sharedFlags & SelectionHighlight)
            return lighten(baseColour(sharedFlags & CustomColour), 1.4);
        return palette().color(QPalette::Button);
    }
    if ((sharedFlags & BackTabs) || !(sharedFlags & Flat))
        return darken(baseColour(sharedFlags & CustomColour), 0.9);
    return baseColour(true);
}

QColor CEnTabCtrl::tabTextColour(bool selected) const
{
    if (selected)
        return palette().color(QPalette::WindowText);
    return darken(baseColour(sharedFlags & (CustomColour | Flat)), 0.5);
}

QColor CEnTabCtrl::tabGradientEnd(bool selected) const
{
    if (selected)
        return palette().color(QPalette::Button);
    return darken(baseColour(sharedFlags & CustomColour), 0.7);
}

void CEnTabCtrl::paintEvent(QPaintEvent* event)
{
    if (!isOwnerDrawn()) {
        QTabWidget::paintEvent(event);
        return;
    }
    // The page area in a raised frame coloured after the unselected tabs.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    const QRect pane = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &option, this).adjusted(0, 0, -1, -1);
    const QColor c = tabBackground(false);
    QPainter p(this);
    p.setPen(lighten(c, 1.5));
    p.drawLine(pane.topLeft(), pane.topRight());
    p.drawLine(pane.topLeft(), pane.bottomLeft());
    p.setPen(darken(c, 0.75));
    p.drawLine(pane.bottomLeft(), pane.bottomRight());
    p.drawLine(pane.topRight(), pane.bottomRight());
}
