#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QWidget>

// Small helpers of the widget tests: looking for colours in a grabbed picture and a plain
// window of a known colour to put the controls on.
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

inline void paintWindow(QWidget& window, const QColor& colour, const QSize& size)
{
    window.resize(size);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, colour);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
}

} // namespace probe
