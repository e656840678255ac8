// The button faces: the round record, pause and window buttons, the small corner buttons and
// the history window's player buttons. Each button has an "away", an "over" and a "pressed"
// face (the order the program's buttons are given them in is theirs to choose).

#include "Glyphs.h"
#include "PictureSet.h"
#include "SkinStyle.h"

#include <functional>

using namespace skin;

namespace {

enum class Look { Away, Over, Pressed };
using Symbol = std::function<void(QPainter&, const QRectF&, Look)>;

Symbol inked(void (*draw)(QPainter&, const QRectF&, const QColor&))
{
    return [draw](QPainter& p, const QRectF& box, Look look) { draw(p, box, look == Look::Over ? accentDark : ink); };
}

QImage roundButton(int size, Look look, const Symbol& symbol, const QColor& backdrop)
{
    QImage art = newArt(size, size);
    QPainter p;
    begin(p, art);
    const QRectF face(1, 1, size - 2, size - 2);
    switch (look) {
    case Look::Away:
        p.setPen(QPen(QColor(170, 180, 194), 1));
        p.setBrush(vertical(face, paper, QColor(228, 233, 240)));
        break;
    case Look::Over:
        p.setPen(QPen(accent, 1));
        p.setBrush(vertical(face, paper, accentWash));
        break;
    case Look::Pressed:
        p.setPen(QPen(QColor(136, 149, 166), 1));
        p.setBrush(vertical(face, QColor(214, 221, 231), QColor(238, 242, 246)));
        break;
    }
    p.drawEllipse(face.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal inset = size / 4.0;
    QRectF box = face.adjusted(inset - 1, inset - 1, 1 - inset, 1 - inset);
    if (look == Look::Pressed)
        box.translate(0, 1);
    symbol(p, box, look);
    p.end();
    return keyed(art, backdrop, keyWhite);
}

void addRoundButton(PictureSet& set, int away, int over, int pressed, const Symbol& symbol)
{
    set << bitmapPicture(away, roundButton(32, Look::Away, symbol, bodyMiddle));
    set << bitmapPicture(over, roundButton(32, Look::Over, symbol, bodyMiddle));
    if (pressed)
        set << bitmapPicture(pressed, roundButton(32, Look::Pressed, symbol, bodyMiddle));
}

// A 16-pixel corner button: the bare symbol when the pointer is away, a soft tile under the
// pointer and a filled accent tile when pressed (which is also the "switched on" look).
QImage smallButtonArt(Look look, void (*symbol)(QPainter&, const QRectF&, const QColor&))
{
    QImage art = newArt(16, 16);
    QPainter p;
    begin(p, art);
    const QRectF tile(0.5, 0.5, 15, 15);
    QColor colour = inkSoft;
    if (look == Look::Over) {
        p.setPen(QPen(accentLight, 1));
        p.setBrush(accentWash);
        p.drawRoundedRect(tile, 3, 3);
        colour = accentDark;
    } else if (look == Look::Pressed) {
        p.setPen(QPen(accentDark, 1));
        p.setBrush(vertical(tile, accentLight, accent));
        p.drawRoundedRect(tile, 3, 3);
        colour = paper;
    }
    symbol(p, QRectF(0, 0, 16, 16), colour);
    p.end();
    return art;
}

void addSmallButton(PictureSet& set, int away, int over, int pressed,
                    void (*symbol)(QPainter&, const QRectF&, const QColor&), const QColor& key)
{
    set << bitmapPicture(away, keyed(smallButtonArt(Look::Away, symbol), bodyTop, key));
    set << bitmapPicture(over, keyed(smallButtonArt(Look::Over, symbol), bodyTop, key));
    if (pressed)
        set << bitmapPicture(pressed, keyed(smallButtonArt(Look::Pressed, symbol), bodyTop, key));
}

// The top-most "on" face is shown with white as its transparent colour and, as the pressed
// face of the "off" look, with black. It therefore has no transparent pixels at all: its
// corners are the main background under the button.
QImage topMostOn()
{
    QImage face = mainBackground().copy(405, 1, 16, 16).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&face);
    p.drawImage(0, 0, smallButtonArt(Look::Pressed, glyph::pin));
    p.end();
    return keyed(face, bodyTop, keyWhite, 1);
}

QImage playerButton(void (*symbol)(QPainter&, const QRectF&, const QColor&), const QColor& colour)
{
    return roundButton(
        24, Look::Away, [symbol, colour](QPainter& p, const QRectF& box, Look) { symbol(p, box, colour); }, buttonFace);
}

} // namespace

void addButtonPictures(PictureSet& set)
{
    const Symbol record = [](QPainter& p, const QRectF& box, Look) {
        glyph::recordDot(p, box, recordRed, recordRedDark);
    };
    const Symbol stop = [](QPainter& p, const QRectF& box, Look look) {
        glyph::stop(p, box, look == Look::Over ? recordRed : recordRedDark);
    };
    addRoundButton(set, 133, 134, 135, record);
    addRoundButton(set, 136, 137, 138, stop);
    addRoundButton(set, 139, 140, 141, inked(glyph::pause));
    addRoundButton(set, 1012, 1060, 0, inked(glyph::history));
    addRoundButton(set, 1013, 1062, 0, inked(glyph::gear));
    addRoundButton(set, 1014, 1061, 0, inked(glyph::question));

    addSmallButton(set, 130, 131, 132, glyph::cross, keyBlack);
    addSmallButton(set, 2007, 2008, 0, glyph::pin, keyBlack);
    set << bitmapPicture(2009, topMostOn());
    addSmallButton(set, 2017, 2018, 2019, glyph::dock, keyWhite);

    set << bitmapPicture(1029, playerButton(glyph::play, accent));
    set << bitmapPicture(1030, playerButton(glyph::pause, ink));
    set << bitmapPicture(1031, playerButton(glyph::stop, ink));
}
