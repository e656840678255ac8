#include "ui/CLabelEx.h"

#include "ui/SkinPictures.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
enum { Normal = 0, Over = 1, Pressed = 2 };

const QList<QPixmap>& statusIcons()
{
    static const QList<QPixmap> icons =
        SkinPictures::imageList(SkinPictures::image(CLabelEx::statusIconStrip), 16, CLabelEx::statusIconKey());
    return icons;
}
} // namespace

CLabelEx::CLabelEx(QWidget* parent) : CLabelEx(QString(), parent) {}

CLabelEx::CLabelEx(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
}

// Under the pointer the hover colour stays; the new colour shows once the pointer leaves.
void CLabelEx::setTextColour(const QColor& colour)
{
    if (m_colourSwitched)
        m_savedTextColour = colour;
    else
        m_textColour = colour;
    update();
}

void CLabelEx::setBorder(bool on, const QColor& pen, const QColor& fill)
{
    m_border = on;
    m_borderPen = pen;
    m_borderFill = fill;
    update();
}

// An underline switched on under the pointer stays when the pointer leaves; one switched off
// there goes when the pointer leaves.
void CLabelEx::setUnderline(bool on, const QColor& colour)
{
    m_underline = on || m_underlineSwitched;
    if (on)
        m_underlineSwitched = false;
    m_underlineColour = colour;
    update();
}

void CLabelEx::setPointerReaction(bool on)
{
    if (!on)
        pointerLeft();
    m_pointerReaction = on;
}

void CLabelEx::setUnderlineOnHover(bool on)
{
    m_underlineOnHover = on;
}

void CLabelEx::setColourOnHover(bool on)
{
    m_colourOnHover = on;
}

void CLabelEx::setFontHeight(int height, bool bold)
{
    m_fontHeight = height;
    m_bold = bold;
    update();
}

void CLabelEx::setStateBitmaps(const QPixmap& normal, const QPixmap& over, const QPixmap& pressed)
{
    m_backgrounds[Normal] = normal;
    m_backgrounds[Over] = over;
    m_backgrounds[Pressed] = pressed;
    update();
}

void CLabelEx::setLeftImage(const QPixmap& normal, const QPixmap& over, const QPixmap& pressed)
{
    m_leftImages[Normal] = normal;
    m_leftImages[Over] = over;
    m_leftImages[Pressed] = pressed;
    update();
}

void CLabelEx::setLeftImageIndex(int index)
{
    m_imageIndex = index;
    update();
}

void CLabelEx::pointerEntered()
{
    if (!m_pointerReaction || m_pointerOver)
        return;
    m_pointerOver = true;
    if (m_underlineOnHover && !m_underline) {
        m_underline = true;
        m_underlineSwitched = true;
    }
    if (m_colourOnHover) {
        m_savedTextColour = m_textColour;
        m_textColour = hoverTextColour();
        m_colourSwitched = true;
    }
    setCursor(Qt::PointingHandCursor);
    update();
}

void CLabelEx::pointerLeft()
{
    if (!m_pointerOver)
        return;
    m_pointerOver = false;
    if (m_underlineSwitched)
        m_underline = false;
    if (m_colourSwitched)
        m_textColour = m_savedTextColour;
    m_underlineSwitched = m_colourSwitched = false;
    unsetCursor();
    update();
}

void CLabelEx::mouseMoveEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        pointerEntered();
    else
        pointerLeft();
    QLabel::mouseMoveEvent(event);
}

void CLabelEx::enterEvent(QEnterEvent* event)
{
    pointerEntered();
    QLabel::enterEvent(event);
}

void CLabelEx::leaveEvent(QEvent* event)
{
    pointerLeft();
    QLabel::leaveEvent(event);
}

void CLabelEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = !m_pressed;
        update();
    }
    QLabel::mousePressEvent(event);
}

void CLabelEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QFont CLabelEx::textFont() const
{
    if (m_fontHeight == dialogFontHeight)
        return font();
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(qMax(1, m_fontHeight));
    arial.setWeight(m_bold ? QFont::Bold : QFont::Normal);
    return arial;
}

// Draws the left picture (or status icon) and returns where the text starts.
int CLabelEx::paintLeftImage(QPainter& p, const QRect& area) const
{
    const QPixmap* scaled = nullptr;
    if (m_pressed && !m_leftImages[Pressed].isNull())
        scaled = &m_leftImages[Pressed];
    else if (m_pointerOver && !m_leftImages[Over].isNull())
        scaled = &m_leftImages[Over];
    if (scaled) {
        const QSize size = scaled->size().scaled(QSize(INT_MAX, area.height()), Qt::KeepAspectRatio);
        p.drawPixmap(QRect(area.topLeft(), size), *scaled);
        return area.left() + size.width() + 4;
    }
    if (!m_leftImages[Normal].isNull()) {
        p.drawPixmap(area.topLeft(), m_leftImages[Normal]);
        return area.left() + m_leftImages[Normal].width() + 4;
    }
    if (m_imageIndex >= 0) {
        if (m_imageIndex < statusIcons().size())
            p.drawPixmap(area.left(), area.top() + (area.height() - 16) / 2, statusIcons()[m_imageIndex]);
        return area.left() + 20;
    }
    return area.left() + 4;
}

void CLabelEx::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect area = rect();
    if (m_border) {
        p.setPen(m_borderPen);
        p.setBrush(m_borderFill);
        p.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    const QPixmap* background = nullptr;
    if (m_pressed && !m_backgrounds[Pressed].isNull())
        background = &m_backgrounds[Pressed];
    else if (m_pointerOver && !m_backgrounds[Over].isNull())
        background = &m_backgrounds[Over];
    else if (!m_backgrounds[Normal].isNull())
        background = &m_backgrounds[Normal];
    if (background)
        p.drawPixmap(area.topLeft(), *background);

    const int textLeft = paintLeftImage(p, area);
    const QFont font = textFont();
    p.setFont(font);
    p.setPen(isEnabled() ? m_textColour : disabledTextColour());
    const QFontMetrics metrics(font);
    const int textTop = area.top() + (area.height() - metrics.height()) / 2;
    const QRect textArea(textLeft, textTop, area.right() + 1 - textLeft, area.bottom() + 1 - textTop);
    p.drawText(textArea, Qt::AlignLeft | Qt::AlignTop | (wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine), text());
    if (m_underline) {
        const int y = textTop + metrics.ascent() + 1;
        p.setPen(m_underlineColour);
        p.drawLine(textLeft, y, textLeft + metrics.horizontalAdvance(text()) - 1, y);
    }
}
