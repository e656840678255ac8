#include "SkinStyle.h"

namespace skin {

QImage newArt(int width, int height)
{
    QImage art(width, height, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    return art;
}

void begin(QPainter& painter, QImage& art)
{
    painter.begin(&art);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

namespace {
QRgb over(QRgb source, const QColor& backdrop)
{
    const int a = qAlpha(source);
    auto mix = [a](int premultiplied, int below) { return premultiplied + below * (255 - a) / 255; };
    return qRgb(mix(qRed(source), backdrop.red()), mix(qGreen(source), backdrop.green()),
                mix(qBlue(source), backdrop.blue()));
}

QRgb nudgedAwayFrom(QRgb colour, QRgb key)
{
    if (colour != (key | 0xff000000u))
        return colour;
    const int red = qRed(colour);
    return qRgb(red > 0 ? red - 1 : 1, qGreen(colour), qBlue(colour));
}
} // namespace

QImage keyed(const QImage& art, const QColor& backdrop, const QColor& key, int coverage)
{
    const QImage source = art.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = qAlpha(in[x]) < coverage ? key.rgb() : nudgedAwayFrom(over(in[x], backdrop), key.rgb());
    }
    return result;
}

QImage flattened(const QImage& art, const QColor& backdrop)
{
    QImage result(art.size(), QImage::Format_RGB32);
    result.fill(backdrop);
    QPainter painter(&result);
    painter.drawImage(0, 0, art);
    return result;
}

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QLinearGradient bodyGradient(qreal top, qreal bottom)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, bodyTop);
    gradient.setColorAt(0.55, bodyMiddle);
    gradient.setColorAt(1, bodyBottom);
    return gradient;
}

} // namespace skin
