// The small pictures: stream and status icons, the history tree's glyphs and row buttons, the
// record menu's icons and the program icon.

#include "Glyphs.h"
#include "PictureSet.h"
#include "SkinStyle.h"

using namespace skin;

namespace {

using Draw = void (*)(QPainter&, const QRectF&, const QColor&);

QImage single(int width, int height, Draw draw, const QColor& colour, const QRectF& box)
{
    QImage art = newArt(width, height);
    QPainter p;
    begin(p, art);
    draw(p, box, colour);
    p.end();
    return art;
}

QImage glyph16(Draw draw, const QColor& colour)
{
    return single(16, 16, draw, colour, QRectF(0, 0, 16, 16));
}

// A round status badge: coloured disc, white symbol.
void statusBadge(QPainter& p, qreal left, const QColor& colour, Draw symbol)
{
    const QRectF disc(left + 1.5, 1.5, 13, 13);
    p.setPen(QPen(colour.darker(125), 1));
    p.setBrush(vertical(disc, colour.lighter(112), colour));
    p.drawEllipse(disc);
    if (symbol)
        symbol(p, QRectF(left + 2, 2, 12, 12), paper);
}

QImage statusStrip()
{
    QImage art = newArt(96, 16);
    QPainter p;
    begin(p, art);
    const QColor unknown(160, 168, 179);
    statusBadge(p, 0, unknown, glyph::question);
    // Offline: a hollow grey ring.
    p.setPen(QPen(QColor(128, 138, 151), 2));
    p.setBrush(QColor(246, 247, 249));
    p.drawEllipse(QRectF(16 + 2.5, 2.5, 11, 11));
    statusBadge(p, 32, online, glyph::check);
    statusBadge(p, 48, away, glyph::clockHands);
    statusBadge(p, 64, recordRed, glyph::bar);
    statusBadge(p, 80, QColor(224, 82, 156), glyph::heart);
    p.end();
    return keyed(art, bandTop, keyStatus);
}

QImage directionIcons()
{
    QImage art = newArt(64, 16);
    QPainter p;
    begin(p, art);
    glyph::arrowOut(p, QRectF(0, 0, 16, 16), online);
    glyph::arrowIn(p, QRectF(16, 0, 16, 16), accent);
    glyph::arrowOut(p, QRectF(32, 2, 14, 14), online);
    glyph::arrowIn(p, QRectF(48, 2, 14, 14), accent);
    for (int left : {32, 48}) {
        p.setPen(QPen(paper, 1.2));
        p.setBrush(newOrange);
        p.drawEllipse(QPointF(left + 12.25, 3.75), 3.1, 3.1);
    }
    p.end();
    return keyed(art, paper, keyWhite);
}

// The delete and open-folder buttons of a record row: white on the selected (blue) row,
// coloured on any other (white) row. Both backgrounds are keyed out with the selection blue.
QImage rowButtons()
{
    const QRectF box(0, 0, 14, 14);
    const QImage onSelected[] = {
        single(14, 14, glyph::trash, paper, box),
        single(
            14, 14,
            [](QPainter& p, const QRectF& b, const QColor& c) { glyph::folder(p, b, c, QColor(230, 240, 254)); }, paper,
            box)};
    const QImage onOther[] = {
        single(14, 14, glyph::trash, recordRed, box),
        single(
            14, 14, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::folder(p, b, c, c.lighter(115)); },
            folderAmber, box)};
    QImage strip(56, 14, QImage::Format_ARGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, keyed(onSelected[0], keyRowButton, keyRowButton));
    p.drawImage(14, 0, keyed(onOther[0], paper, keyRowButton));
    p.drawImage(28, 0, keyed(onSelected[1], keyRowButton, keyRowButton));
    p.drawImage(42, 0, keyed(onOther[1], paper, keyRowButton));
    p.end();
    return strip;
}

QImage programIcon(int size)
{
    QImage art = newArt(size, size);
    QPainter p;
    begin(p, art);
    glyph::logo(p, QRectF(0, 0, size, size));
    p.end();
    return art;
}

} // namespace

void addIconPictures(PictureSet& set)
{
    set << bitmapPicture(
        1007, keyed(single(16, 14, glyph::microphone, accentDark, QRectF(1, 0, 14, 14)), panelFill, keyWhite));
    set << bitmapPicture(
        1008, keyed(single(
                        16, 14, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::speaker(p, b, c); },
                        accentDark, QRectF(1, 0, 14, 14)),
                    panelFill, keyWhite));
    set << bitmapPicture(1010, statusStrip());

    set << bitmapPicture(1016, keyed(glyph16(glyph::chevronRight, inkSoft), paper, keyWhite));
    set << bitmapPicture(1017, keyed(glyph16(glyph::chevronDown, inkSoft), paper, keyWhite));
    set << bitmapPicture(
        1035,
        keyed(single(
                  16, 16, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::stack(p, b, c, accentWash); },
                  accent, QRectF(0, 0, 16, 16)),
              QColor(238, 238, 238), keyWhite));
    set << bitmapPicture(1033, directionIcons());
    set << bitmapPicture(1034, rowButtons());
    set << bitmapPicture(
        1032, keyed(single(
                        16, 16, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::speaker(p, b, c); }, inkSoft,
                        QRectF(0, 0, 16, 16)),
                    buttonFace, keyWhite));

    set << iconPicture(QStringLiteral("2000"), glyph16(glyph::play, online));
    set << iconPicture(QStringLiteral("2001"), glyph16(glyph::stop, ink));
    set << iconPicture(QStringLiteral("2002"), glyph16(glyph::handset, online));
    set << iconPicture(QStringLiteral("2003"),
                       single(
                           16, 16, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::bubble(p, b, c, paper); },
                           accent, QRectF(0, 0, 16, 16)));
    set << iconPicture(QStringLiteral("2004"), glyph16(glyph::trash, recordRed));
    set << iconPicture(
        QStringLiteral("2005"),
        single(
            16, 16, [](QPainter& p, const QRectF& b, const QColor& c) { glyph::folder(p, b, c, c.lighter(115)); },
            folderAmber, QRectF(0, 0, 16, 16)));

    for (int size : {16, 24, 32, 48, 64, 128, 256})
        set << iconPicture(QStringLiteral("128-%1").arg(size), programIcon(size));
}
