#include "AudioTestSignals.h"
#include "audio/CMp3File.h"
#include "support/Mp3Probe.h"
#include "support/RecordingMessagePresenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace AudioTestSignals;

namespace {

// Encoder delay, plus up to two frames of padding at the end, is what a decoder may return
// beyond what was encoded when the file carries no Info tag.
constexpr int EncoderDelay = 576;

std::int64_t frameSize(const Mp3Probe& probe)
{
    return probe.mpegVersion() == 1 ? 1152 : 576;
}

// Writes seconds of audio in the blocks the mixing worker hands over: 160 samples mono, or
// 320 interleaved samples stereo. Left carries 440 Hz, right 880 Hz.
void writeSeconds(CMp3File& file, double seconds, bool stereo)
{
    const int samples = int(seconds * InputRate);
    const std::vector<std::int16_t> left = tone(440, samples);
    std::vector<std::int16_t> pcm = stereo ? interleave(left, tone(880, samples)) : left;
    const std::size_t block = stereo ? 2 * BlockSamples : BlockSamples;
    for (std::size_t first = 0; first < pcm.size(); first += block)
        QVERIFY(file.Write(view(pcm, first, block)));
}

} // namespace

class TestMp3File : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void encodesWithTheChosenSettings_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("expectedRate");
        QTest::addColumn<int>("expectedBitrate");
        QTest::addColumn<int>("expectedChannels");
        QTest::addColumn<int>("expectedHeaderMode");

        QTest::newRow("mono 16000 32") << 0 << 16000 << 32 << 16000 << 32 << 1 << int(Mp3Probe::Mono);
        QTest::newRow("stereo 32000 64") << 1 << 32000 << 64 << 32000 << 64 << 2 << int(Mp3Probe::Stereo);
        QTest::newRow("joint 44100 128") << 2 << 44100 << 128 << 44100 << 128 << 2 << int(Mp3Probe::JointStereo);
        QTest::newRow("mono 48000 256") << 0 << 48000 << 256 << 48000 << 256 << 1 << int(Mp3Probe::Mono);
        // MPEG-2 at 16000 Hz carries at most 160 kbit/s; LAME takes that instead.
        QTest::newRow("stereo 16000 256") << 1 << 16000 << 256 << 16000 << 160 << 2 << int(Mp3Probe::Stereo);
        // Settings outside their tables arrive as 0: LAME then chooses the rate (the input's)
        // and a bit rate from its default compression ratio.
        QTest::newRow("mono rate 0 bitrate 0") << 0 << 0 << 0 << 16000 << 24 << 1 << int(Mp3Probe::Mono);
        QTest::newRow("stereo rate 0 bitrate 0") << 1 << 0 << 0 << 16000 << 48 << 2 << int(Mp3Probe::Stereo);
        QTest::newRow("stereo 44100 bitrate 0") << 1 << 44100 << 0 << 44100 << 128 << 2 << int(Mp3Probe::Stereo);
        QTest::newRow("unknown mode is mono") << 7 << 32000 << 64 << 32000 << 64 << 1 << int(Mp3Probe::Mono);
    }

    void encodesWithTheChosenSettings()
    {
        QFETCH(int, mode);
        QFETCH(int, sampleRate);
        QFETCH(int, bitrate);
        QFETCH(int, expectedRate);
        QFETCH(int, expectedBitrate);
        QFETCH(int, expectedChannels);
        QFETCH(int, expectedHeaderMode);

        const QString path = m_dir.filePath(QStringLiteral("settings.mp3"));
        CMp3File file;
        QVERIFY(file.Open(path, sampleRate, bitrate, mode));
        QCOMPARE(file.outputSampleRate(), expectedRate);
        QCOMPARE(file.bitrate(), expectedBitrate);
        QCOMPARE(file.channels(), expectedChannels);
        writeSeconds(file, 1.0, expectedChannels == 2);
        QVERIFY(file.Close());
        QVERIFY(!file.isOpen());

        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.sampleRate(), expectedRate);
        QCOMPARE(probe.bitrate(), expectedBitrate);
        QCOMPARE(probe.channels(), expectedChannels);
        QCOMPARE(int(probe.channelMode()), expectedHeaderMode);
        QCOMPARE(probe.mpegVersion(), expectedRate >= 32000 ? 1 : 2);
        QVERIFY(probe.constantBitrate());
        QVERIFY(probe.originalFlag());

        // One second in; out comes that, plus the encoder's delay and the last frame's padding.
        const std::int64_t encoded = expectedRate;
        QVERIFY2(probe.frames() >= encoded, qPrintable(QString::number(probe.frames())));
        QVERIFY2(probe.frames() <= encoded + EncoderDelay + 2 * frameSize(probe),
                 qPrintable(QString::number(probe.frames())));
    }

    void stereoKeepsLeftAndRightApart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("stereo") << 1;
        QTest::newRow("joint stereo") << 2;
    }

    void stereoKeepsLeftAndRightApart()
    {
        QFETCH(int, mode);
        const QString path = m_dir.filePath(QStringLiteral("stereo.mp3"));
        CMp3File file;
        QVERIFY(file.Open(path, 32000, 64, mode));
        writeSeconds(file, 1.0, true);
        file.Close();

        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.channels(), 2);
        // Left was written with 440 Hz, right with 880 Hz, both at amplitude 12000.
        QVERIFY(probe.toneAmplitude(0, 440) > 6000);
        QVERIFY(probe.toneAmplitude(0, 880) < 600);
        QVERIFY(probe.toneAmplitude(1, 880) > 6000);
        QVERIFY(probe.toneAmplitude(1, 440) < 600);
    }

    // The encoder holds back the last frames until it is flushed: the end of the recording must
    // be in the file whether it is closed explicitly or by the writer's end.
    void closingKeepsTheLastFraction_data()
    {
        QTest::addColumn<bool>("byDestructor");
        QTest::newRow("Close") << false;
        QTest::newRow("destructor") << true;
    }

    void closingKeepsTheLastFraction()
    {
        QFETCH(bool, byDestructor);
        const QString path = m_dir.filePath(QStringLiteral("tail.mp3"));
        {
            CMp3File file;
            QVERIFY(file.Open(path, 16000, 64, 0));
            // 0.9 s of silence, then 0.1 s of tone: only the tone's energy tells the end is there.
            std::vector<std::int16_t> pcm(InputRate * 9 / 10, 0);
            const std::vector<std::int16_t> end = tone(1000, InputRate / 10);
            pcm.insert(pcm.end(), end.begin(), end.end());
            for (std::size_t first = 0; first < pcm.size(); first += BlockSamples)
                QVERIFY(file.Write(view(pcm, first, BlockSamples)));
            if (!byDestructor)
                file.Close();
        }
        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        const std::int64_t toneStart = InputRate * 9 / 10 + EncoderDelay;
        QVERIFY(probe.toneAmplitude(0, 1000, toneStart + 400, 800) > 6000);
    }

    void fileHoldsNothingButFrames()
    {
        const QString path = m_dir.filePath(QStringLiteral("plain.mp3"));
        CMp3File file;
        QVERIFY(file.Open(path, 32000, 64, 1));
        writeSeconds(file, 0.5, true);
        file.Close();

        QFile mp3(path);
        QVERIFY(mp3.open(QIODevice::ReadOnly));
        const QByteArray bytes = mp3.readAll();
        QVERIFY(bytes.size() > 1000);
        QCOMPARE(quint8(bytes[0]), quint8(0xFF)); // a frame header, not an ID3 tag
        QCOMPARE(quint8(bytes[1]) & 0xE0, 0xE0);
        QVERIFY(!bytes.left(400).contains("Xing"));
        QVERIFY(!bytes.left(400).contains("Info"));
        QVERIFY(!bytes.right(128).startsWith("TAG"));
    }

    void oneWriterServesOneRecordingAfterAnother()
    {
        CMp3File file;
        const QString first = m_dir.filePath(QStringLiteral("first.mp3"));
        const QString second = m_dir.filePath(QStringLiteral("second.mp3"));
        QVERIFY(file.Open(first, 16000, 32, 0));
        writeSeconds(file, 0.5, false);
        // Opening again finishes the file still open.
        QVERIFY(file.Open(second, 32000, 64, 1));
        writeSeconds(file, 1.0, true);
        file.Close();
        QVERIFY(file.Close()); // a second Close does nothing

        const Mp3Probe a(first), b(second);
        QVERIFY(a.isValid() && b.isValid());
        QCOMPARE(a.channels(), 1);
        QCOMPARE(b.channels(), 2);
        QVERIFY(a.seconds() > 0.5 && a.seconds() < 0.7);
        QVERIFY(b.seconds() > 1.0 && b.seconds() < 1.2);
    }

    void closedWriterRefusesWrites()
    {
        CMp3File file;
        QVERIFY(file.Close()); // nothing was opened
        std::vector<std::int16_t> block = constantBlock(100);
        QVERIFY(!file.Write(view(block)));
        QVERIFY(!file.Open(QString(), 16000, 32, 0));
    }

    void fileThatCannotBeCreatedIsReported_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<int>("error");
        QTest::newRow("missing folder") << QStringLiteral("no such folder/x.mp3") << ENOENT;
        QTest::newRow("path is a folder") << QStringLiteral("folder") << EISDIR;
    }

    void fileThatCannotBeCreatedIsReported()
    {
        QFETCH(QString, relativePath);
        QFETCH(int, error);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        RecordingMessagePresenter presenter;
        CMp3File file;
        QVERIFY(!file.Open(m_dir.filePath(relativePath), 32000, 64, 1));
        QVERIFY(!file.isOpen());

        QCOMPARE(presenter.count(), 1);
        const MessageRequest request = presenter.requests().first();
        QCOMPARE(request.caption, QStringLiteral("Tallowin Skype Recorder Create Mp3 File Failed!"));
        QCOMPARE(request.text, QString::fromLocal8Bit(std::strerror(error)));
        QCOMPARE(request.icon, MessageIcon::Error);
        QCOMPARE(request.owner, nullptr);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMp3File)
#include "tst_mp3file.moc"
