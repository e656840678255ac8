#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The line-art symbols of the skin. Each is designed on a 16 by 16 grid and drawn scaled into
// the given box, so the same symbol serves a 16-pixel menu icon and a 32-pixel button.
namespace glyph {

void microphone(QPainter& p, const QRectF& box, const QColor& colour);
void speaker(QPainter& p, const QRectF& box, const QColor& colour, int waves = 2);
void cross(QPainter& p, const QRectF& box, const QColor& colour);
void pin(QPainter& p, const QRectF& box, const QColor& colour);
void dock(QPainter& p, const QRectF& box, const QColor& colour);
void chevronRight(QPainter& p, const QRectF& box, const QColor& colour);
void chevronDown(QPainter& p, const QRectF& box, const QColor& colour);
void check(QPainter& p, const QRectF& box, const QColor& colour);
void history(QPainter& p, const QRectF& box, const QColor& colour);
void gear(QPainter& p, const QRectF& box, const QColor& colour);
void question(QPainter& p, const QRectF& box, const QColor& colour);
void play(QPainter& p, const QRectF& box, const QColor& colour);
void pause(QPainter& p, const QRectF& box, const QColor& colour);
void stop(QPainter& p, const QRectF& box, const QColor& colour);
void recordDot(QPainter& p, const QRectF& box, const QColor& colour, const QColor& shade);
void trash(QPainter& p, const QRectF& box, const QColor& colour);
void folder(QPainter& p, const QRectF& box, const QColor& colour, const QColor& flap);
void handset(QPainter& p, const QRectF& box, const QColor& colour);
void bubble(QPainter& p, const QRectF& box, const QColor& colour, const QColor& dots);
void arrowOut(QPainter& p, const QRectF& box, const QColor& colour);
void arrowIn(QPainter& p, const QRectF& box, const QColor& colour);
void stack(QPainter& p, const QRectF& box, const QColor& colour, const QColor& light);
void heart(QPainter& p, const QRectF& box, const QColor& colour);
void bar(QPainter& p, const QRectF& box, const QColor& colour);
void clockHands(QPainter& p, const QRectF& box, const QColor& colour);

// The program's mark: a blue tile with a white microphone and a red recording dot.
void logo(QPainter& p, const QRectF& box);

} // namespace glyph
