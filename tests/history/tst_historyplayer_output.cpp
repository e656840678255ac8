#include "HistoryFixtures.h"
#include "history/CEasyPlayer.h"
#include "history/SdlAudioDevice.h"
#include "support/Mp3Probe.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace HistoryFixtures;

namespace {
QString outputFile()
{
    const QByteArray home = qgetenv("TSR_TEST_HOME");
    return (home.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(home)) + QStringLiteral("/sdl-output.raw");
}

std::vector<std::int16_t> readSamples(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<std::int16_t> samples(std::size_t(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}
} // namespace

// What the player really hands to the sound system: SDL's "disk" driver writes every sample
// the device takes into a file, without waiting between buffers.
class TestHistoryPlayerOutput : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tone;

    // Plays the file from the position at the volume to its end and returns what came out.
    std::vector<std::int16_t> playOut(int volume, qint64 from)
    {
        CEasyPlayer player;
        player.setVolume(volume);
        player.SetMediaPath(m_tone);
        if (!player.CreatePlaybackWindow())
            return {};
        player.seek(from);
        player.play();
        if (!QTest::qWaitFor([&] { return player.position() == player.length(); }))
            return {};
        player.close();
        return readSamples(outputFile());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_tone = m_dir.filePath("tone.mp3");
        QVERIFY(writeTone(m_tone, 1.0));
    }

    void samplesAreTheDecodedOnesScaledByTheVolume_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<int>("tolerance");

        QTest::newRow("full volume from the start") << 1000 << qint64(0) << 0;
        QTest::newRow("volume 300") << 300 << qint64(0) << 0;
        QTest::newRow("muted") << 0 << qint64(0) << 0;
        // Decoding resumed in mid-stream rounds a few samples a little differently.
        QTest::newRow("after a seek to 500 ms") << 700 << qint64(500) << 2;
    }

    void samplesAreTheDecodedOnesScaledByTheVolume()
    {
        QFETCH(int, volume);
        QFETCH(qint64, from);
        QFETCH(int, tolerance);

        const Mp3Probe probe(m_tone);
        QVERIFY(probe.isValid());
        QCOMPARE(probe.channels(), 1);
        const std::vector<std::int16_t>& decoded = probe.channel(0);
        const std::size_t first = std::size_t(from * probe.sampleRate() / 1000);

        const std::vector<std::int16_t> out = playOut(volume, from);
        QCOMPARE(SdlAudioDevice::driver(), QStringLiteral("disk"));
        QVERIFY(out.size() >= decoded.size() - first);
        bool heard = false;
        for (std::size_t i = 0; i < decoded.size() - first; ++i) {
            const int expected = decoded[first + i] * volume / CEasyPlayer::MaxVolume;
            if (std::abs(out[i] - expected) > tolerance)
                QFAIL(qPrintable(QStringLiteral("sample %1: %2 instead of %3").arg(i).arg(out[i]).arg(expected)));
            heard = heard || out[i] != 0;
        }
        QCOMPARE(heard, volume > 0);
        // After the end only silence follows.
        for (std::size_t i = decoded.size() - first; i < out.size(); ++i)
            QCOMPARE(out[i], std::int16_t(0));
    }
};

int main(int argc, char* argv[])
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(outputFile()));
    qputenv("SDL_DISKAUDIODELAY", "0");
    QCoreApplication app(argc, argv);
    TestHistoryPlayerOutput test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historyplayer_output.moc"
