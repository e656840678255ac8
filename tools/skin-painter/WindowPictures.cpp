// The large pictures: the main bar, its time display, the docked-bar pieces, the popup and
// the history window's title band.

#include "Glyphs.h"
#include "PictureSet.h"
#include "SkinStyle.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>

using namespace skin;

namespace {

const QColor outsideBackdrop{128, 128, 128}; // the unknown desktop behind the soft outer edges

QFont uiFont(qreal pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(pixels));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// "Tallowin Skype Recorder" with the first word stressed, its baseline at the given point.
void wordmark(QPainter& p, QPointF baseline, qreal pixels, const QColor& strong, const QColor& soft)
{
    const QFont bold = uiFont(pixels, true);
    p.setFont(bold);
    p.setPen(strong);
    const QString first = QStringLiteral("Tallowin");
    p.drawText(baseline, first);
    baseline.rx() += QFontMetricsF(bold).horizontalAdvance(first + QLatin1Char(' '));
    p.setFont(uiFont(pixels, false));
    p.setPen(soft);
    p.drawText(baseline, QStringLiteral("Skype Recorder"));
}

// The recessed panel that holds the meters and the time display.
void displayPanel(QPainter& p, const QRectF& rect)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(rect.translated(0, 1), 6, 6); // the lit lower lip
    p.setPen(QPen(panelEdge, 1));
    p.setBrush(vertical(rect, panelFill.darker(104), panelFill));
    p.drawRoundedRect(rect, 6, 6);
    p.setPen(QPen(QColor(0, 0, 0, 18), 1));
    p.drawLine(QPointF(rect.left() + 5, rect.top() + 1), QPointF(rect.right() - 5, rect.top() + 1));
}

void innerHighlight(QPainter& p, const QPainterPath& shape)
{
    p.save();
    p.setClipPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.translate(0, 1);
    p.drawPath(shape);
    p.restore();
}

QImage timeDisplay()
{
    QImage art = newArt(76, 32);
    QPainter p;
    begin(p, art);
    const QRectF face(0.5, 0.5, 75, 31);
    p.setPen(QPen(panelEdge.darker(108), 1));
    p.setBrush(vertical(face, QColor(246, 248, 251), paper));
    p.drawRoundedRect(face, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 22), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(72, 1.5));
    p.end();
    return flattened(art, panelFill);
}

// One piece of the docked bar. The bar's body runs past the edges of a piece wherever the
// next piece continues it, so the pieces join without a seam in any order. The outer ends keep
// three white columns: the window region drops up to three columns at the right of a bar
// whose width is not a multiple of four, and the left end matches it.
QImage barPiece(int width, bool leftEnd, bool rightEnd, bool withPanel)
{
    QImage art = newArt(width, 45);
    QPainter p;
    begin(p, art);
    const qreal left = leftEnd ? 3.5 : -20;
    const qreal right = rightEnd ? width - 3.5 : width + 20;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(left, 0.5, right - left, 44), 6, 6);
    p.fillPath(shape, bodyGradient(0, 45));
    if (withPanel)
        displayPanel(p, QRectF(89.5, 3.5, 187, 38));
    innerHighlight(p, shape);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    return keyed(art, outsideBackdrop, keyWhite, 128);
}

QImage popupSkin()
{
    QImage art = newArt(200, 90);
    QPainter p;
    begin(p, art);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, 199, 89), 8, 8);
    p.fillPath(shape, vertical(QRectF(0, 0, 200, 90), paper, bodyMiddle));
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(0, 0, 200, 24), vertical(QRectF(0, 0, 200, 24), accentLight, accent));
    p.setPen(QPen(accentDark, 1));
    p.drawLine(QPointF(0, 24.5), QPointF(200, 24.5));
    p.restore();
    glyph::microphone(p, QRectF(7, 4, 16, 16), paper);
    wordmark(p, QPointF(27, 16.5), 11, paper, QColor(230, 242, 255));
    innerHighlight(p, shape);
    p.setPen(QPen(accentDark, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    return keyed(art, outsideBackdrop, keyMagenta, 128);
}

// Only the top 22 rows are shown (stretched sideways), so they carry the design; the rest
// continues the window's face.
QImage historyBand()
{
    QImage art = newArt(426, 98);
    QPainter p;
    begin(p, art);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, 426, 98), QColor(243, 245, 248));
    p.fillRect(QRect(0, 0, 426, 21), vertical(QRectF(0, 0, 426, 21), bodyTop, QColor(229, 234, 241)));
    p.fillRect(QRect(0, 0, 426, 2), vertical(QRectF(0, 0, 426, 2), accentLight, accent));
    p.fillRect(QRect(0, 21, 426, 1), QColor(197, 205, 216));
    p.end();
    return flattened(art, QColor(243, 245, 248));
}

} // namespace

QImage mainBackground()
{
    QImage art = newArt(438, 98);
    QPainter p;
    begin(p, art);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, 437, 97), 9, 9);
    p.fillPath(shape, bodyGradient(0, 98));

    p.save();
    p.setClipPath(shape);
    const QRectF band(0, 72, 438, 26);
    p.fillRect(band, vertical(band, bandTop, bandBottom));
    p.setPen(QPen(bandRule, 1));
    p.drawLine(QPointF(0, 72.5), QPointF(438, 72.5));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawLine(QPointF(0, 73.5), QPointF(438, 73.5));
    p.restore();

    glyph::logo(p, QRectF(12, 6, 16, 16));
    wordmark(p, QPointF(33, 18), 11, ink, inkSoft);
    displayPanel(p, QRectF(92.5, 25.5, 190, 42));

    innerHighlight(p, shape);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    return keyed(art, outsideBackdrop, keyGreen, 128);
}

void addWindowPictures(PictureSet& set)
{
    set << bitmapPicture(129, mainBackground());
    set << bitmapPicture(2016, timeDisplay());
    set << bitmapPicture(2012, barPiece(37, true, false, false));
    set << bitmapPicture(2013, barPiece(37, false, true, false));
    set << bitmapPicture(2014, barPiece(426, false, false, true));
    set << bitmapPicture(2015, barPiece(11, false, false, false));
    set << bitmapPicture(2006, popupSkin());
    set << bitmapPicture(1056, historyBand());
}
