#include "ui/SkinPictures.h"

#include <QFile>
#include <QWidget>
#include <mutex>

// The resource file lives in the static user-interface library; naming its initialiser here
// keeps the linker from dropping it from programs that only use this class.
static void initPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace {
void ensureResources()
{
    static std::once_flag once;
    std::call_once(once, initPictureResources);
}

constexpr int mainBackgroundWidth = 438;
} // namespace

QString SkinPictures::bitmapPath(int id)
{
    return QStringLiteral(":/bitmaps/%1").arg(id);
}

QString SkinPictures::iconPath(int id)
{
    return QStringLiteral(":/icons/%1").arg(id);
}

QImage SkinPictures::image(int id)
{
    ensureResources();
    QImage result(bitmapPath(id));
    if (result.isNull())
        return result;
    return result.convertToFormat(QImage::Format_RGB32);
}

QPixmap SkinPictures::bitmap(int id)
{
    return QPixmap::fromImage(image(id));
}

QIcon SkinPictures::icon(int id)
{
    ensureResources();
    QIcon result;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString sized = iconPath(id) + QStringLiteral("-%1").arg(size);
        if (QFile::exists(sized))
            result.addFile(sized, QSize(size, size));
    }
    if (result.isNull() && QFile::exists(iconPath(id)))
        result.addFile(iconPath(id));
    return result;
}

QImage SkinPictures::keyedImage(const QImage& source, const QColor& transparent)
{
    if (source.isNull())
        return {};
    QImage result = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & 0xffffffu;
    for (int y = 0; y < result.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0xffffffu) == key)
                line[x] = 0;
    }
    return result;
}

QPixmap SkinPictures::keyed(const QImage& source, const QColor& transparent)
{
    return QPixmap::fromImage(keyedImage(source, transparent));
}

QList<QPixmap> SkinPictures::imageList(const QImage& strip, int imageWidth, const QColor& transparent)
{
    QList<QPixmap> images;
    if (strip.isNull() || imageWidth <= 0)
        return images;
    const QImage keyedStrip = keyedImage(strip, transparent);
    for (int left = 0; left + imageWidth <= strip.width(); left += imageWidth)
        images.append(QPixmap::fromImage(keyedStrip.copy(left, 0, imageWidth, strip.height())));
    return images;
}

QRegion SkinPictures::windowRegion(const QImage& source, const QColor& transparent)
{
    if (source.isNull())
        return {};
    int width = source.width() / 4 * 4;
    if (width == mainBackgroundWidth / 4 * 4)
        width = mainBackgroundWidth;
    width = qMin(width, source.width());

    // Each row becomes the runs of pixels that are not the transparent colour; one-pixel-high
    // bands in row order are what QRegion::setRects expects.
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    const QRgb key = transparent.rgb() & 0xffffffu;
    QList<QRect> runs;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        int x = 0;
        while (x < width) {
            while (x < width && (line[x] & 0xffffffu) == key)
                ++x;
            const int start = x;
            while (x < width && (line[x] & 0xffffffu) != key)
                ++x;
            if (x > start)
                runs.append(QRect(start, y, x - start, 1));
        }
    }
    QRegion region;
    region.setRects(runs.constData(), static_cast<int>(runs.size()));
    return region;
}

bool SkinPictures::applyWindowRegion(QWidget* window, const QImage& source, const QColor& transparent)
{
    if (!window || source.isNull())
        return false;
    window->setMask(windowRegion(source, transparent));
    return true;
}
