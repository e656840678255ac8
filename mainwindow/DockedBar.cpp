#include "mainwindow/DockedBar.h"

#include "ui/SkinPictures.h"

#include <QPainter>

bool DockedBar::Pieces::isComplete() const
{
    return !leftEnd.isNull() && !rightEnd.isNull() && !filler.isNull() && !middle.isNull();
}

DockedBar::Pieces DockedBar::loadPieces()
{
    return {SkinPictures::image(2012), SkinPictures::image(2013), SkinPictures::image(2015), SkinPictures::image(2014)};
}

// The fillers run from each end piece towards the middle; later pieces cover earlier ones, so
// the middle piece always shows whole.
QImage DockedBar::build(int width, const Pieces& pieces)
{
    if (width <= 0 || !pieces.isComplete())
        return {};
    QImage bar(width, Height, QImage::Format_RGB32);
    bar.fill(Qt::white);
    QPainter p(&bar);
    const int a = middleOffset(width);
    p.drawImage(0, 0, pieces.leftEnd);
    const int fillers = (a - EndWidth) / FillerWidth + 1;
    for (int k = 0; k < fillers; ++k) {
        p.drawImage(EndWidth + FillerWidth * k, 0, pieces.filler);
        p.drawImage(width - a - 1 + FillerWidth * k, 0, pieces.filler);
    }
    p.drawImage(width - EndWidth, 0, pieces.rightEnd);
    p.drawImage(a, 0, pieces.middle);
    return bar;
}
