#include "HistoryFixtures.h"
#include "history/CEasyPlayer.h"
#include "history/SdlAudioDevice.h"
#include "support/Mp3Probe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace HistoryFixtures;

// The player on SDL's dummy driver (set for every test), which consumes the sound in real time.
class TestHistoryPlayer : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tone;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    bool open(CEasyPlayer& player, const QString& file)
    {
        player.SetMediaPath(file);
        return player.CreatePlaybackWindow();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_tone = path("tone.mp3");
        QVERIFY(writeTone(m_tone, 1.0));
    }

    // SDL takes SIGINT and SIGTERM for itself when the program has left them at their default
    // (the test framework has not: it is set aside meanwhile). Must run before SDL starts.
    void endingSignalsStillEndTheProgram()
    {
        const int endings[2] = {SIGTERM, SIGINT};
        struct sigaction saved[2] = {}, plain = {};
        plain.sa_handler = SIG_DFL;
        for (int i = 0; i < 2; ++i)
            sigaction(endings[i], &plain, &saved[i]);
        CEasyPlayer player;
        const bool opened = open(player, m_tone);
        bool untouched = true;
        for (int i = 0; i < 2; ++i) {
            struct sigaction now = {};
            sigaction(endings[i], &saved[i], &now);
            untouched = untouched && now.sa_handler == SIG_DFL;
        }
        QVERIFY(opened);
        QVERIFY(untouched);
    }

    void lengthIsExactAndTheStartIsQuiet()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        QCOMPARE(SdlAudioDevice::driver(), QStringLiteral("dummy"));
        const Mp3Probe probe(m_tone);
        QVERIFY(probe.isValid());
        QCOMPARE(player.length(), probe.frames() * 1000 / probe.sampleRate());
        QVERIFY(player.length() >= 1000);
        QCOMPARE(player.position(), 0);
        QVERIFY(!player.isPlaying());
        QTest::qWait(150);
        QCOMPARE(player.position(), 0);
    }

    void playAdvancesAndPauseHoldsThePosition()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        player.play();
        QVERIFY(player.isPlaying());
        QTRY_VERIFY(player.position() > 100);
        player.pause();
        const qint64 held = player.position();
        QTest::qWait(200);
        QCOMPARE(player.position(), held);
        player.play();
        QTRY_VERIFY(player.position() > held);
    }

    void seekTakesThePositionWithoutStarting()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        player.seek(500);
        QCOMPARE(player.position(), 500);
        QTest::qWait(150);
        QCOMPARE(player.position(), 500);
        player.seek(-20);
        QCOMPARE(player.position(), 0);
        player.seek(player.length() + 5000);
        QCOMPARE(player.position(), player.length());
    }

    void playsToTheEndAndStartsAgainAfterRewinding()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        player.seek(player.length() - 150);
        player.play();
        QTRY_COMPARE(player.position(), player.length());
        player.stop();
        player.seek(0);
        QCOMPARE(player.position(), 0);
        player.play();
        QTRY_VERIFY(player.position() > 0);
        QVERIFY(player.position() < player.length());
    }

    // The last sound, less than one buffer, goes out on the first callback: the end comes only
    // with the callback after it, which the dummy driver makes at least a buffer's time later.
    void theEndComesAfterTheLastBufferHasGoneOut()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        const Mp3Probe probe(m_tone);
        QVERIFY(probe.isValid());
        const qint64 bufferMs = 1024 * 1000 / probe.sampleRate();
        player.seek(player.length() - bufferMs / 4);
        QElapsedTimer clock;
        clock.start();
        player.play();
        QVERIFY(QTest::qWaitFor([&] { return player.position() == player.length(); }, 5000));
        QVERIFY2(clock.elapsed() >= bufferMs, qPrintable(QString::number(clock.elapsed())));
    }

    void aCutOffRecordingPlaysWhatItHas()
    {
        QFile whole(m_tone);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const QString cut = path("cut.mp3");
        QVERIFY(writeBytes(cut, bytes.left(bytes.size() / 2)));

        CEasyPlayer player;
        QVERIFY(open(player, cut));
        QVERIFY(player.length() > 300);
        QVERIFY(player.length() < 700);
        player.seek(player.length() - 100);
        player.play();
        QTRY_COMPARE(player.position(), player.length());
    }

    void whatDoesNotDecodeOpensAsNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("no path") << QString() << QByteArray();
        QTest::newRow("missing file") << "missing.mp3" << QByteArray();
        QTest::newRow("empty file") << "empty.mp3" << QByteArray("");
        QTest::newRow("text") << "text.mp3" << QByteArray("this is a note, not a recording\n").repeated(200);
        QTest::newRow("zeros") << "zeros.mp3" << QByteArray(64 * 1024, '\0');
        QTest::newRow("a folder") << "folder.mp3" << QByteArray();
    }

    void whatDoesNotDecodeOpensAsNothing()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QString full;
        if (!file.isEmpty()) {
            full = path(file);
            if (file == "folder.mp3")
                QVERIFY(QDir().mkpath(full));
            else if (!content.isNull())
                QVERIFY(writeBytes(full, content));
        }

        CEasyPlayer player;
        player.setVolume(400);
        QVERIFY(open(player, m_tone));
        QVERIFY(!open(player, full));
        QVERIFY(!player.isOpen());
        QCOMPARE(player.length(), 0);
        QCOMPARE(player.position(), 0);
        player.play();
        player.seek(300);
        player.pause();
        QCOMPARE(player.position(), 0);
        QCOMPARE(player.volume(), 400);
    }

    void volumeStaysInRangeAndCarriesOver()
    {
        CEasyPlayer player;
        QCOMPARE(player.volume(), CEasyPlayer::MaxVolume);
        player.setVolume(1500);
        QCOMPARE(player.volume(), 1000);
        player.setVolume(-5);
        QCOMPARE(player.volume(), 0);
        player.setVolume(300);
        QVERIFY(open(player, m_tone));
        QVERIFY(open(player, m_tone));
        QCOMPARE(player.volume(), 300);
    }

    void closeWhilePlayingEndsIt()
    {
        CEasyPlayer player;
        QVERIFY(open(player, m_tone));
        player.play();
        QTRY_VERIFY(player.position() > 0);
        player.close();
        QVERIFY(!player.isOpen());
        QVERIFY(!player.isPlaying());
        QCOMPARE(player.length(), 0);
        QCOMPARE(player.position(), 0);
    }
};

HISTORY_TEST_MAIN(TestHistoryPlayer)
#include "tst_historyplayer.moc"
