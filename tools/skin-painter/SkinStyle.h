#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

// The colours and finishing steps shared by every picture of the skin, so the bar, the popup,
// the history window and the icons read as one family.
namespace skin {

// One accent for everything the user acts on; it is also the history tree's selection colour.
inline const QColor accent{51, 150, 253};
inline const QColor accentLight{110, 184, 255};
inline const QColor accentDark{24, 104, 206};
inline const QColor accentWash{222, 237, 254};
inline const QColor recordRed{226, 62, 68};
inline const QColor recordRedDark{170, 32, 40};
inline const QColor online{46, 184, 92};
inline const QColor away{245, 166, 35};
inline const QColor newOrange{252, 140, 5};
inline const QColor folderAmber{233, 169, 58};
inline const QColor ink{58, 70, 86};
inline const QColor inkSoft{104, 116, 132};
inline const QColor paper{252, 253, 254}; // the lightest face; never pure white (white is a key)

// The bar's body from top to bottom, the recessed display panel and the status band.
inline const QColor bodyTop{250, 251, 253};
inline const QColor bodyMiddle{238, 241, 246};
inline const QColor bodyBottom{228, 233, 240};
inline const QColor outline{130, 143, 161};
inline const QColor panelFill{231, 236, 243};
inline const QColor panelEdge{183, 194, 209};
inline const QColor bandTop{230, 234, 240};
inline const QColor bandBottom{218, 224, 232};
inline const QColor bandRule{200, 208, 219};
inline const QColor buttonFace{239, 241, 244};

// Keys the windows and buttons treat as "not part of the picture".
inline const QColor keyGreen{0, 255, 0};
inline const QColor keyWhite{255, 255, 255};
inline const QColor keyBlack{0, 0, 0};
inline const QColor keyMagenta{255, 0, 255};
inline const QColor keyStatus{217, 221, 224};
inline const QColor keyRowButton{51, 150, 253};

// A transparent canvas to draw the artwork on, with antialiasing switched on by begin().
QImage newArt(int width, int height);
void begin(QPainter& painter, QImage& art);

// The final 24-bit picture: every pixel the artwork leaves (nearly) uncovered becomes the key
// colour; the rest is laid over the backdrop the picture will sit on, so soft edges blend with
// what is really behind them. A covered pixel that happens to equal the key is nudged by one
// step so it never turns into a hole.
QImage keyed(const QImage& art, const QColor& backdrop, const QColor& key, int coverage = 64);

// The artwork laid over an opaque backdrop, for pictures copied as they are.
QImage flattened(const QImage& art, const QColor& backdrop);

// A vertical gradient over a rectangle.
QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom);

// The body gradient of the bar at a given height of a picture of the given height.
QLinearGradient bodyGradient(qreal top, qreal bottom);

} // namespace skin
