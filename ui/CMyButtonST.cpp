#include "ui/CMyButtonST.h"

#include "platform/Shell.h"
#include "ui/SkinPictures.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor captionGrey(102, 102, 102);

// The button's colours when no custom colours are given: the face and its text everywhere.
CMyButtonST::Colours systemColours(const QPalette& pal)
{
    const QColor face = pal.color(QPalette::Button), text = pal.color(QPalette::ButtonText);
    return {face, text, face, text, face, text};
}

QFont captionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}
} // namespace

CMyButtonST::CMyButtonST(QWidget* parent) : QPushButton(parent)
{
    QPushButton::setFlat(true);
    setMouseTracking(true);
    m_colours = systemColours(palette());
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!m_url.isEmpty())
            Shell::instance().openUrl(m_url);
    });
}

int CMyButtonST::setBitmaps(int overId, const QColor& overKey, int awayId, const QColor& awayKey, int pressedId,
                            const QColor& pressedKey)
{
    QList<std::pair<QImage, QColor>> images{{SkinPictures::image(overId), overKey}};
    if (awayId) {
        images.append({SkinPictures::image(awayId), awayKey});
        if (pressedId)
            images.append({SkinPictures::image(pressedId), pressedKey});
    }
    return setBitmaps(images);
}

int CMyButtonST::setBitmaps(const QList<std::pair<QImage, QColor>>& images)
{
    QList<Image> loaded;
    int result = BitmapsSet;
    for (const auto& [image, key] : images) {
        if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
            result = BitmapSizeUnreadable;
            break;
        }
        const QPixmap picture = SkinPictures::keyed(image, key);
        if (picture.isNull()) {
            result = BitmapMaskFailed;
            break;
        }
        loaded.append({picture, image.size()});
    }
    m_slots = result == BitmapsSet ? loaded : QList<Image>();
    if (!m_slots.isEmpty())
        setIcon(QIcon());
    updateGeometry();
    update();
    return result;
}

void CMyButtonST::clearBitmaps()
{
    m_slots.clear();
    update();
}

bool CMyButtonST::hasSlot(int slot) const
{
    return slot >= 0 && slot < m_slots.size();
}

QSize CMyButtonST::slotSize(int slot) const
{
    return hasSlot(slot) ? m_slots[slot].size : QSize();
}

void CMyButtonST::setColours(const Colours& colours, bool useCustomColours)
{
    m_colours = colours;
    m_customColours = useCustomColours;
    update();
}

void CMyButtonST::setUrl(const QString& url)
{
    m_url = url;
}

void CMyButtonST::setFlat(bool flat)
{
    QPushButton::setFlat(flat);
    if (!flat)
        setHovered(false);
    update();
}

void CMyButtonST::setCheckBoxMode(bool on)
{
    setCheckable(on);
    update();
}

void CMyButtonST::setCheck(int value)
{
    if (isCheckable())
        setChecked(value == 1 || value == 2);
}

void CMyButtonST::setTransparentBackground(bool on)
{
    m_transparent = on;
    update();
}

void CMyButtonST::setGreyWhenDisabled(bool on)
{
    m_greyWhenDisabled = on;
    update();
}

void CMyButtonST::setLeftAlignedCaption(bool on, bool indent)
{
    m_leftAligned = on;
    m_indent = indent;
    update();
}

int CMyButtonST::chooseSlot(bool pressed, bool hovered, bool checkBox, bool checked, bool hasAway, bool hasPressed)
{
    if (checkBox)
        return checked || !hasAway ? SlotOver : SlotAway;
    if (pressed && hovered)
        return hasPressed ? SlotPressed : SlotOver;
    if (hovered)
        return SlotOver;
    return hasAway ? SlotAway : SlotOver;
}

bool CMyButtonST::isPressedLook() const
{
    return isCheckable() ? isChecked() : isDown();
}

int CMyButtonST::currentSlot() const
{
    if (m_slots.isEmpty())
        return -1;
    return chooseSlot(isPressedLook(), m_hovered, isCheckable(), isChecked(), hasSlot(SlotAway), hasSlot(SlotPressed));
}

QSize CMyButtonST::sizeHint() const
{
    if (!m_slots.isEmpty() && text().isEmpty())
        return m_slots[SlotOver].size;
    return QPushButton::sizeHint();
}

void CMyButtonST::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    update();
}

// The hover look follows the pointer only on a flat button of the active window.
void CMyButtonST::trackPointer(const QPoint& position)
{
    setHovered(isFlat() && isEnabled() && rect().contains(position) && window()->isActiveWindow());
}

void CMyButtonST::mouseMoveEvent(QMouseEvent* event)
{
    trackPointer(event->position().toPoint());
    QPushButton::mouseMoveEvent(event);
}

void CMyButtonST::enterEvent(QEnterEvent* event)
{
    trackPointer(event->position().toPoint());
    QPushButton::enterEvent(event);
}

void CMyButtonST::leaveEvent(QEvent* event)
{
    setHovered(false);
    QPushButton::leaveEvent(event);
}

void CMyButtonST::focusOutEvent(QFocusEvent* event)
{
    setHovered(false);
    QPushButton::focusOutEvent(event);
}

void CMyButtonST::changeEvent(QEvent* event)
{
    const bool lostHover = (event->type() == QEvent::EnabledChange && !isEnabled()) ||
                           (event->type() == QEvent::ActivationChange && !window()->isActiveWindow());
    if (lostHover)
        setHovered(false);
    if (event->type() == QEvent::PaletteChange && !m_customColours)
        m_colours = systemColours(palette());
    QPushButton::changeEvent(event);
}

QColor CMyButtonST::stateBackground() const
{
    if (m_hovered)
        return m_colours.backgroundIn;
    return hasFocus() ? m_colours.backgroundFocus : m_colours.backgroundOut;
}

QColor CMyButtonST::stateText() const
{
    if (m_hovered)
        return m_colours.textIn;
    return hasFocus() ? m_colours.textFocus : m_colours.textOut;
}

void CMyButtonST::paintFrameAndBackground(QPainter& p, QRect& area) const
{
    const bool pressed = isPressedLook();
    if (!isFlat() && (hasFocus() || isDefault())) {
        p.setPen(Qt::black);
        p.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    if (!m_transparent)
        p.fillRect(area, stateBackground());
    if (isFlat())
        return;
    const QPalette& pal = palette();
    if (pressed) {
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(area.adjusted(0, 0, -1, -1));
        return;
    }
    // The raised two-pixel edge: light above and left, shadow below and right.
    const QRect outer = area.adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    auto edge = [&p](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    edge(outer, pal.color(QPalette::Light), pal.color(QPalette::Shadow));
    edge(inner, pal.color(QPalette::Midlight), pal.color(QPalette::Dark));
}

// Draws the picture of the current slot (or the icon) and returns where it went.
QRect CMyButtonST::paintPicture(QPainter& p, const QRect& area) const
{
    QPixmap picture;
    const int slot = currentSlot();
    if (slot >= 0)
        picture = m_slots[slot].picture;
    else if (!icon().isNull())
        picture = icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (picture.isNull())
        return {};
    const QSize size = picture.deviceIndependentSize().toSize();
    QRect place(QPoint(), size);
    if (m_leftAligned || !text().isEmpty())
        place.moveTopLeft(
            QPoint(area.left() + (m_leftAligned ? 8 : 3), area.top() + (area.height() - size.height()) / 2));
    else
        place.moveCenter(area.center());
    p.drawPixmap(place.topLeft(), picture);
    return place;
}

void CMyButtonST::paintCaption(QPainter& p, const QRect& area, int pictureWidth) const
{
    if (text().isEmpty())
        return;
    QRect textArea = area;
    int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (m_leftAligned) {
        p.setFont(captionFont());
        const int left = pictureWidth > 0 ? pictureWidth + 16 + (m_indent ? 26 : 0) : 13;
        textArea = QRect(left, height() / 3, width() - left, height() - height() / 3);
        flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    } else if (pictureWidth > 0) {
        textArea.setLeft(area.left() + 3 + pictureWidth);
    }
    if (!isEnabled()) {
        p.setPen(palette().color(QPalette::Light));
        p.drawText(textArea.translated(1, 1), flags, text());
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(textArea, flags, text());
        return;
    }
    if (m_customColours)
        p.setPen(stateText());
    else
        p.setPen(m_leftAligned ? captionGrey : palette().color(QPalette::ButtonText));
    p.drawText(textArea, flags, text());
}

// A disabled button's picture in grey: the top-left pixel counts as the background; every other
// pixel up to twice the picture's size that is neither black nor that background becomes the
// grey of its luminance.
void CMyButtonST::greyOut(QImage& canvas) const
{
    if (!hasSlot(SlotOver))
        return;
    const QSize reach = m_slots[SlotOver].size * 2;
    const QRgb background = canvas.pixel(0, 0);
    const int right = qMin(reach.width(), canvas.width());
    const int bottom = qMin(reach.height(), canvas.height());
    for (int y = 0; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < right; ++x) {
            const QRgb pixel = line[x];
            if (pixel == background || (pixel & 0xffffffu) == 0)
                continue;
            const int grey = (30 * qRed(pixel) + 59 * qGreen(pixel) + 11 * qBlue(pixel)) / 100;
            line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
        }
    }
}

void CMyButtonST::paintEvent(QPaintEvent*)
{
    QImage canvas(size(), QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setFont(font());
        QRect area = rect();
        paintFrameAndBackground(p, area);
        const QRect picture = paintPicture(p, area);
        p.end();
        if (!isEnabled() && m_greyWhenDisabled)
            greyOut(canvas);
        p.begin(&canvas);
        p.setFont(font());
        paintCaption(p, area, picture.width());
        if (hasFocus() && (!isFlat() || !icon().isNull())) {
            p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
            p.drawRect(rect().adjusted(3, 3, -4, -4));
        }
    }
    QPainter(this).drawImage(0, 0, canvas);
}
