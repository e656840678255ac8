#pragma once

#include "audio/AudioTestSignals.h"
#include "audio/CMp3File.h"
#include "history/RecordEntry.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <ctime>

// Shared pieces of the history tests: local times in a fixed time zone, record entries, real
// MP3 files made by the program's own writer, and picture comparisons.
namespace HistoryFixtures {

// Central European time with its summer time, written out so that no time-zone database is
// needed. Set before the application starts.
inline void useFixedTimeZone()
{
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
}

inline qint64 localSeconds(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second)).toSecsSinceEpoch();
}

inline RecordEntry entry(const QString& name, qint64 time, const QString& file = {}, int type = 1, int duration = 60,
                         bool isNew = true)
{
    RecordEntry e;
    e.name = name;
    e.time = QString::number(time);
    e.file = file;
    e.type = type;
    e.duration = duration;
    e.isNew = isNew;
    return e;
}

// A mono 16000 Hz MP3 of a 440 Hz tone, as a recording of that length would be written.
inline bool writeTone(const QString& path, double seconds)
{
    using namespace AudioTestSignals;
    CMp3File file;
    if (!file.Open(path, InputRate, 32, 0))
        return false;
    std::vector<std::int16_t> pcm = tone(440, int(seconds * InputRate));
    for (std::size_t first = 0; first + BlockSamples <= pcm.size(); first += BlockSamples)
        if (!file.Write(view(pcm, first, BlockSamples)))
            return false;
    return file.Close();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether every opaque pixel of the picture appears at that place in the image.
inline bool showsPicture(const QImage& image, const QPoint& at, const QPixmap& picture)
{
    const QImage wanted = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    if (wanted.isNull())
        return false;
    int opaque = 0;
    for (int y = 0; y < wanted.height(); ++y) {
        for (int x = 0; x < wanted.width(); ++x) {
            const QColor colour = wanted.pixelColor(x, y);
            if (colour.alpha() != 255)
                continue;
            ++opaque;
            if (image.pixelColor(at.x() + x, at.y() + y).rgb() != colour.rgb())
                return false;
        }
    }
    return opaque > 0;
}

} // namespace HistoryFixtures

// QTEST_MAIN with the fixed time zone in place before anything reads the local time.
#define HISTORY_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        HistoryFixtures::useFixedTimeZone();                                                                           \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
