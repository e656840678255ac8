// A contact sheet of the skin for reviewing a change: the main bar assembled with its buttons,
// a docked bar, the popup and every small picture enlarged, on a desktop-like background.

#include "PictureSet.h"

#include <QHash>
#include <QPainter>

namespace {

QImage find(const PictureSet& set, const QString& alias)
{
    for (const Picture& picture : set)
        if (picture.alias == alias)
            return picture.image;
    return {};
}

QImage bitmap(const PictureSet& set, int id)
{
    return find(set, QStringLiteral("bitmaps/%1").arg(id));
}

QImage transparent(const QImage& image, QRgb key)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] | 0xff000000u) == (key | 0xff000000u))
                line[x] = 0;
    }
    return result;
}

QImage mainBar(const PictureSet& set)
{
    QImage bar = transparent(bitmap(set, 129), qRgb(0, 255, 0));
    QPainter p(&bar);
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    auto put = [&](int id, int x, int y, QRgb key) { p.drawImage(x, y, transparent(bitmap(set, id), key)); };
    put(133, 16, 30, white);
    put(140, 56, 30, white);
    put(1007, 100, 33, white);
    put(1008, 100, 48, white);
    for (int row = 0; row < 2; ++row)
        for (int block = 0; block < 20; ++block)
            p.fillRect(120 + block * 4, 36 + row * 15, 3, 9,
                       block < 12 - row * 5 ? QColor(0, 200, 0) : QColor(160, 190, 220));
    p.drawImage(202, 30, bitmap(set, 2016));
    p.setPen(QColor(192, 0, 0));
    p.drawText(QRect(202, 30, 75, 32), Qt::AlignCenter, QStringLiteral("00:12:47"));
    put(1012, 298, 30, white);
    put(1062, 340, 30, white);
    put(1014, 382, 30, white);
    put(130, 421, 1, black);
    put(2009, 405, 1, white);
    put(2017, 389, 1, white);
    p.drawImage(5, 80, transparent(bitmap(set, 1010).copy(32, 0, 16, 16), qRgb(217, 221, 224)));
    p.setPen(Qt::black);
    p.drawText(QRect(25, 78, 140, 20), Qt::AlignVCenter, QStringLiteral("alice.smith"));
    p.setPen(QColor(226, 0, 0));
    p.drawText(QRect(170, 78, 258, 20), Qt::AlignVCenter, QStringLiteral("Recording in progress ..."));
    p.setPen(QColor(0, 0, 192));
    p.drawText(QRect(330, 3, 58, 18), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("Support us"));
    return bar;
}

// The docked bar of a given width, put together from its four pieces.
QImage dockedBar(const PictureSet& set, int width)
{
    QImage bar(width, 45, QImage::Format_RGB32);
    QPainter p(&bar);
    const int a = (width - 426) / 2;
    p.drawImage(0, 0, bitmap(set, 2012));
    const int n = (a - 37) / 11 + 1;
    for (int k = 0; k < n; ++k) {
        p.drawImage(37 + 11 * k, 0, bitmap(set, 2015));
        p.drawImage(width - a - 1 + 11 * k, 0, bitmap(set, 2015));
    }
    p.drawImage(width - 37, 0, bitmap(set, 2013));
    p.drawImage(a, 0, bitmap(set, 2014));
    p.end();
    QImage result = transparent(bar, qRgb(255, 255, 255));
    QPainter q(&result);
    auto put = [&](int id, int x, int y) { q.drawImage(x, y, transparent(bitmap(set, id), qRgb(255, 255, 255))); };
    put(136, a + 11, 7);
    put(139, a + 53, 7);
    put(1007, a + 95, 9);
    put(1008, a + 95, 24);
    q.drawImage(a + 196, 6, bitmap(set, 2016));
    put(1060, a + 295, 5);
    put(1013, a + 337, 5);
    put(1014, a + 379, 5);
    return result;
}

} // namespace

QImage previewSheet(const PictureSet& set)
{
    QImage sheet(1000, 1100, QImage::Format_RGB32);
    sheet.fill(QColor(86, 101, 122));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(20, 20, 876, 196), mainBar(set));
    p.drawImage(20, 240, dockedBar(set, 801));
    p.drawImage(QRect(20, 310, 400, 180), transparent(bitmap(set, 2006), qRgb(255, 0, 255)));
    p.drawImage(QRect(440, 310, 426, 44), bitmap(set, 1056).copy(0, 0, 426, 22));
    p.drawImage(QRect(440, 370, 128, 128), find(set, QStringLiteral("icons/128-128")));
    int x = 580, y = 370;
    for (int size : {64, 48, 32, 24, 16}) {
        p.drawImage(x, y, find(set, QStringLiteral("icons/128-%1").arg(size)));
        x += size + 10;
    }
    x = 20;
    y = 510;
    for (const Picture& picture : set) {
        const QImage& image = picture.image;
        if (image.isNull() || image.height() > 32 || picture.alias.startsWith(QLatin1String("icons/128")))
            continue;
        const QSize scaled = image.size() * 3;
        if (x + scaled.width() > 980) {
            x = 20;
            y += 110;
        }
        p.fillRect(QRect(QPoint(x, y), scaled), QColor(236, 240, 245));
        p.drawImage(QRect(QPoint(x, y), scaled), image);
        p.setPen(Qt::white);
        p.drawText(x, y + scaled.height() + 14, picture.alias.section(QLatin1Char('/'), 1));
        x += scaled.width() + 14;
    }
    return sheet;
}
