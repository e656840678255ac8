#include "HistoryFixtures.h"
#include "history/CEasyPlayer.h"
#include "history/SdlAudioDevice.h"
#include "support/Mp3Probe.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
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
// The samples from first on as the volume scales them.
std::vector<std::int16_t> scaled(const std::vector<std::int16_t>& decoded, std::size_t first, int volume)
{
    std::vector<std::int16_t> result;
    for (std::size_t i = first; i < decoded.size(); ++i)
        result.push_back(std::int16_t(decoded[i] * volume / CEasyPlayer::MaxVolume));
    return result;
}

// Index of the first sample that is not silent; the size when there is none.
std::ptrdiff_t firstSound(const std::vector<std::int16_t>& samples)
{
    return std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; }) - samples.begin();
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
        const std::vector<std::int16_t> expected = scaled(decoded, first, volume);
        // SDL writes silence while the device waits paused: the sound may begin later.
        const std::ptrdiff_t lead = firstSound(out) - firstSound(expected);
        QVERIFY(lead >= 0);
        QVERIFY(out.size() >= std::size_t(lead) + expected.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            const int wanted = i >= std::size_t(lead) && i - lead < expected.size() ? expected[i - lead] : 0;
            if (std::abs(out[i] - wanted) > tolerance)
                QFAIL(qPrintable(QStringLiteral("sample %1: %2 instead of %3").arg(i).arg(out[i]).arg(wanted)));
        }
        QCOMPARE(std::size_t(firstSound(out)) < out.size(), volume > 0);
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
