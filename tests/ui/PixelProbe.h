#pragma once

#include "ui/CKCBusyProgressCtrl.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QRect>
#include <QWidget>

// Small helpers of the widget tests: looking for colours in a grabbed picture, reading a block
// bar's blocks, and a plain window of a known colour to put the controls on.
namespace probe {

// Whether any pixel of the area (the whole picture when empty) has exactly the colour.
inline bool contains(const QImage& image, const QColor& colour, const QRect& area = {})
{
    const QRect scan = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    for (int y = scan.top(); y <= scan.bottom(); ++y)
        for (int x = scan.left(); x <= scan.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

// A block bar's blocks as the screen shows them: for each block, the colour in its middle.
inline QList<QColor> blockColours(CKCBusyProgressCtrl& bar)
{
    const QImage shot = bar.grab().toImage();
    QList<QColor> colours;
    for (int i = 0; i < bar.blocks(); ++i) {
        const int x = i * (bar.blockWidth() + bar.gap()) + bar.blockWidth() / 2;
        colours << shot.pixelColor(x, bar.height() / 2);
    }
    return colours;
}

// The blocks showing the bar's own highlight colour.
inline int litBlocks(CKCBusyProgressCtrl& bar)
{
    int lit = 0;
    for (const QColor& colour : blockColours(bar))
        lit += colour == QColor(0, 200, 0) ? 1 : 0;
    return lit;
}

inline void paintWindow(QWidget& window, const QColor& colour, const QSize& size)
{
    window.resize(size);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, colour);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
}

} // namespace probe
