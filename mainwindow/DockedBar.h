#pragma once

#include <QImage>

// The picture of the main window while it is stuck under Skype's window: a bar 45 pixels high as
// wide as Skype's window, put together from four pieces (left end, filler, middle, right end).
// White is its transparent colour.
class DockedBar {
public:
    static constexpr int Height = 45;
    static constexpr int EndWidth = 37;
    static constexpr int FillerWidth = 11;
    static constexpr int MiddleWidth = 426;

    struct Pieces {
        QImage leftEnd, rightEnd, filler, middle;
        bool isComplete() const;
    };

    // Bitmaps 2012 (left end), 2013 (right end), 2015 (filler) and 2014 (middle).
    static Pieces loadPieces();
    // Where the middle piece, which carries the controls, starts in a bar of the given width.
    static int middleOffset(int width) { return (width - MiddleWidth) / 2; }
    // The bar of the given width; a null image when a piece is missing.
    static QImage build(int width, const Pieces& pieces);
};
