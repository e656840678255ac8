#include "mainwindow/TimeDisplay.h"

#include "ui/SkinPictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace {
// The edges of the picture that keep their width when it is drawn wider or narrower than it is.
constexpr int pictureEdge = 8;

// The window's font in bold, as large as fits the display's widest text.
QFont displayFont(QFont font, int width)
{
    font.setBold(true);
    for (int size = 16; size > 8; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("Waiting...")) <= width - 8)
            break;
    }
    return font;
}

// The picture drawn into a rectangle of another width: its two ends as they are, the middle
// stretched or squeezed, so its rounded border stays whole.
void drawStretched(QPainter& p, const QImage& picture, const QRect& target)
{
    const int edge = qMin(pictureEdge, qMin(picture.width(), target.width()) / 2);
    const int h = picture.height();
    p.drawImage(QRect(target.x(), target.y(), edge, target.height()), picture, QRect(0, 0, edge, h));
    p.drawImage(QRect(target.x() + edge, target.y(), target.width() - 2 * edge, target.height()), picture,
                QRect(edge, 0, picture.width() - 2 * edge, h));
    p.drawImage(QRect(target.x() + target.width() - edge, target.y(), edge, target.height()), picture,
                QRect(picture.width() - edge, 0, edge, h));
}
} // namespace

QString TimeDisplay::text(const RecordingCounters& counters)
{
    const quint64 s = counters.durationSeconds;
    if (s != 0)
        return QString::asprintf("%02u:%02u:%02u", unsigned(s / 3600 % 24), unsigned(s / 60 % 60), unsigned(s % 60));
    if (counters.statusCode != RecordingCounters::WaitingForSkype)
        return QStringLiteral("Ready");
    return QStringLiteral("Waiting...");
}

void TimeDisplay::loadPicture()
{
    m_picture = SkinPictures::image(2016);
}

void TimeDisplay::paint(QPainter& p, const QRect& area, const QFont& windowFont, const QString& text) const
{
    if (area.isEmpty())
        return;
    if (!m_picture.isNull())
        drawStretched(p, m_picture, area);
    p.setFont(displayFont(windowFont, area.width()));
    p.setPen(textColour());
    p.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
}
