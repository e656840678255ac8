#include "ui/CXPMenu.h"

#include "ui/SkinPictures.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {
constexpr const char* selectedIconProperty = "selectedIcon";

// Measures and paints the menu's items; everything else is the application's style.
class XPMenuStyle : public QProxyStyle {
public:
    XPMenuStyle() : QProxyStyle(QApplication::style()->name()) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuPanelWidth:
        case PM_MenuDesktopFrameWidth:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || !item || item->menuItemType == QStyleOptionMenuItem::Separator)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        return CXPMenu::measureItem(item->text, item->font, checkMarkWidth(widget));
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || !item) {
            QProxyStyle::drawControl(element, option, p, widget);
            return;
        }
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            drawSeparator(*item, p);
        else
            drawItem(*item, p, widget);
    }

    static int checkMarkWidth(const QWidget* widget)
    {
        const QStyle* style = widget ? widget->style() : QApplication::style();
        return style->pixelMetric(PM_IndicatorWidth, nullptr, widget);
    }

private:
    static void drawSeparator(const QStyleOptionMenuItem& item, QPainter* p)
    {
        const QRect& r = item.rect;
        p->fillRect(r, item.palette.color(QPalette::Window));
        p->setPen(item.palette.color(QPalette::Mid));
        const int y = r.center().y();
        p->drawLine(r.left() + CXPMenu::textLeft, y, r.right() - 2, y);
    }

    static void drawItem(const QStyleOptionMenuItem& item, QPainter* p, const QWidget* widget)
    {
        const QRect& r = item.rect;
        const bool selected = item.state & State_Selected;
        const bool enabled = item.state & State_Enabled;
        const QPalette& pal = item.palette;
        if (selected) {
            p->fillRect(r, Qt::black);
            p->fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Highlight));
        } else {
            p->fillRect(r, pal.color(QPalette::Window));
        }
        QIcon icon = item.icon;
        if (selected && widget) {
            if (const QAction* action = static_cast<const QMenu*>(widget)->actionAt(r.center())) {
                const QIcon selectedIcon = action->property(selectedIconProperty).value<QIcon>();
                if (!selectedIcon.isNull())
                    icon = selectedIcon;
            }
        }
        if (!icon.isNull())
            p->drawPixmap(r.left() + 3, r.top() + 3, icon.pixmap(16, 16, enabled ? QIcon::Normal : QIcon::Disabled));

        QColor text = pal.color(QPalette::WindowText);
        if (!enabled)
            text = pal.color(QPalette::Disabled, QPalette::Text);
        else if (selected)
            text = pal.color(QPalette::HighlightedText);
        p->setPen(text);
        p->setFont(item.font);
        const QString label = item.text.section(QLatin1Char('\t'), 0, 0);
        p->drawText(QRect(r.left() + CXPMenu::textLeft, r.top(), r.width() - CXPMenu::textLeft, r.height()),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, label);
    }
};
} // namespace

CXPMenu::CXPMenu(QWidget* parent) : QMenu(parent), m_style(std::make_unique<XPMenuStyle>())
{
    setStyle(m_style.get());
}

CXPMenu::~CXPMenu()
{
    setStyle(nullptr);
}

QAction* CXPMenu::appendItem(int command, const QString& text, int iconId, int selectedIconId)
{
    QAction* action = addAction(text);
    action->setData(command);
    if (iconId)
        action->setIcon(SkinPictures::icon(iconId));
    if (selectedIconId)
        action->setProperty(selectedIconProperty, QVariant::fromValue(SkinPictures::icon(selectedIconId)));
    return action;
}

QAction* CXPMenu::appendSeparator()
{
    return addSeparator();
}

int CXPMenu::track(const QPoint& globalPosition)
{
    const QAction* chosen = exec(globalPosition);
    return chosen ? chosen->data().toInt() : 0;
}

QSize CXPMenu::measureItem(const QString& text, const QFont& menuFont, int checkMarkWidth)
{
    const int textWidth = QFontMetrics(menuFont).horizontalAdvance(text);
    return QSize(textWidth + 41 - checkMarkWidth, itemHeight);
}

int CXPMenu::checkMarkWidth() const
{
    return XPMenuStyle::checkMarkWidth(this);
}
