#pragma once

#include "recording/RecordingCounters.h"

#include <QColor>
#include <QImage>
#include <QString>

class QFont;
class QPainter;
class QRect;

// The main window's time display: the running time of a recording, or where the program stands
// before one, in bold red on a rounded picture.
class TimeDisplay {
public:
    static QColor textColour() { return QColor(192, 0, 0); }
    // The duration as hours, minutes and seconds with the hours taken modulo 24; before the first
    // second "Ready", or "Waiting..." while Skype is not reached.
    static QString text(const RecordingCounters& counters);

    void loadPicture();
    // The picture stretched or squeezed to the area, the text in the window's font made bold and
    // as large as fits.
    void paint(QPainter& p, const QRect& area, const QFont& windowFont, const QString& text) const;

private:
    QImage m_picture;
};
