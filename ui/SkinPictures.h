#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRegion>
#include <QString>

class QWidget;

// The program's pictures by resource id, and the ways the windows use them: with a
// transparent colour, cut into an image list, or as the shape of a window.
class SkinPictures {
public:
    static QString bitmapPath(int id); // ":/bitmaps/<id>"
    static QString iconPath(int id);   // ":/icons/<id>"

    // The bitmap as stored (24-bit colour, its transparent colour still in place); a null image
    // when there is no such bitmap.
    static QImage image(int id);
    static QPixmap bitmap(int id);

    // The icon with every size it is drawn in (the program icon 128 comes in several).
    static QIcon icon(int id);

    // The picture with every pixel of exactly the transparent colour made transparent.
    static QImage keyedImage(const QImage& image, const QColor& transparent);
    static QPixmap keyed(const QImage& image, const QColor& transparent);

    // A strip of equal images side by side, cut into its images, each keyed with the colour.
    static QList<QPixmap> imageList(const QImage& strip, int imageWidth, const QColor& transparent);

    // The window shape a picture gives: the rectangle of the picture's width rounded down to a
    // multiple of 4 (436 counts as the main background's 438) and its height, without every
    // pixel of exactly the transparent colour. Empty for a null image.
    static QRegion windowRegion(const QImage& image, const QColor& transparent);

    // The colour of the recessed panel of the main background and the docked bar, behind the
    // level meters (their background, so the gaps between blocks blend in).
    static QColor displayPanelColour() { return QColor(227, 232, 239); }

    // Gives the window the shape of the bitmap; a bitmap that cannot be read leaves the window
    // with the shape it had and returns false.
    static bool applyWindowRegion(QWidget* window, const QImage& image, const QColor& transparent);
};
