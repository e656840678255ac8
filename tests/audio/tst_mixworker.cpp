#include "AudioTestSignals.h"
#include "CapturingWriter.h"
#include "audio/IWriteToFile.h"
#include "audio/MixWorker.h"
#include "support/Mp3Probe.h"
#include "support/RecordingMessagePresenter.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace AudioTestSignals;
using Samples = std::vector<std::int16_t>;

namespace {

// Holds every write until the gate is opened, so a test can catch the worker inside a write.
class GatedWriter : public CapturingWriter {
public:
    void open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_condition.notify_all();
    }
    bool waitUntilWriting()
    {
        std::unique_lock lock(m_mutex);
        return m_condition.wait_for(lock, std::chrono::seconds(10), [this] { return m_writing; });
    }

protected:
    void beforeWrite() override
    {
        std::unique_lock lock(m_mutex);
        m_writing = true;
        m_log.append(QStringLiteral("write begins"));
        m_condition.notify_all();
        // Never hang the test: a gate nobody opens lets the write through after a while.
        m_condition.wait_for(lock, std::chrono::seconds(10), [this] { return m_open; });
    }

private:
    std::condition_variable m_condition;
    bool m_open = false;
    bool m_writing = false;
};

// Forwards to a real MP3 file and counts the writes.
class CountingMp3Writer : public IWriteToFile {
public:
    explicit CountingMp3Writer(CMp3File& file) : m_file(file) {}
    bool Write(const CBuffer& block) override
    {
        ++m_writes;
        return m_file.Write(block);
    }
    bool Close() override { return m_file.Close(); }
    int writes() const { return m_writes.load(); }

private:
    CMp3File& m_file;
    std::atomic<int> m_writes{0};
};

constexpr int MyBase = 1000;
constexpr int RemoteBase = 20000;

// Block number n of a stream: every sample is base + n, so blocks show where they came from.
Samples numbered(int base, int n)
{
    return constantBlock(base + n);
}

void push(MixWorker& worker, bool mySide, Samples block)
{
    const CBuffer view(reinterpret_cast<unsigned char*>(block.data()), BlockBytes);
    QVERIFY(mySide ? worker.PushMySide(view) : worker.PushRemoteSide(view));
}

void pushNumbered(MixWorker& worker, bool mySide, int base, int count)
{
    for (int n = 0; n < count; ++n)
        push(worker, mySide, numbered(base, n));
}

// Starts a recording of pairs blocks per side and returns once the worker is held in its first write.
void catchInFirstWrite(MixWorker& worker, GatedWriter& writer, int pairs)
{
    QVERIFY(worker.StartWriting(&writer, true));
    pushNumbered(worker, true, MyBase, pairs);
    pushNumbered(worker, false, RemoteBase, pairs);
    QVERIFY(writer.waitUntilWriting());
}

Samples stereoOf(const Samples& left, const Samples& right)
{
    return interleave(left, right);
}

} // namespace

class TestMixWorker : public QObject {
    Q_OBJECT

private slots:
    void mixesOnePair_data()
    {
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<int>("mySide");
        QTest::addColumn<int>("remoteSide");
        QTest::addColumn<QList<int>>("frame");

        QTest::newRow("mono sum clamps high") << false << 30000 << 10000 << QList<int>{32767};
        QTest::newRow("mono sum clamps low") << false << -30000 << -10000 << QList<int>{-32768};
        QTest::newRow("mono sums at full level") << false << 100 << -50 << QList<int>{50};
        QTest::newRow("stereo my side left") << true << 1234 << -42 << QList<int>{1234, -42};
        QTest::newRow("stereo keeps extremes") << true << -32768 << 32767 << QList<int>{-32768, 32767};
    }

    void mixesOnePair()
    {
        QFETCH(bool, stereo);
        QFETCH(int, mySide);
        QFETCH(int, remoteSide);
        QFETCH(QList<int>, frame);

        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, stereo));
        push(worker, true, constantBlock(mySide));
        push(worker, false, constantBlock(remoteSide));
        worker.Stop();

        const std::vector<Samples> blocks = writer.blocks();
        QCOMPARE(blocks.size(), std::size_t(1));
        QCOMPARE(blocks[0].size(), std::size_t(BlockSamples * frame.size()));
        for (std::size_t i = 0; i < blocks[0].size(); ++i)
            QCOMPARE(int(blocks[0][i]), frame[int(i % frame.size())]);
        QCOMPARE(writer.log().last(), QStringLiteral("close"));
    }

    void stereoFramesAlternateMySideAndRemoteSide()
    {
        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, true));
        Samples mine(BlockSamples), theirs(BlockSamples);
        for (int i = 0; i < BlockSamples; ++i) {
            mine[std::size_t(i)] = std::int16_t(i);
            theirs[std::size_t(i)] = std::int16_t(-1 - i);
        }
        push(worker, true, mine);
        push(worker, false, theirs);
        worker.Stop();
        QCOMPARE(writer.blocks(), std::vector<Samples>{stereoOf(mine, theirs)});
    }

    // One-side recordings take only that side's queue; in stereo the voice goes to the right.
    void recordsOneSide_data()
    {
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("base");

        QTest::newRow("mono my side") << false << 1 << MyBase;
        QTest::newRow("mono remote side") << false << 2 << RemoteBase;
        QTest::newRow("stereo my side on the right") << true << 1 << MyBase;
        QTest::newRow("stereo remote side on the right") << true << 2 << RemoteBase;
        QTest::newRow("unknown side is the remote side") << false << 5 << RemoteBase;
    }

    void recordsOneSide()
    {
        QFETCH(bool, stereo);
        QFETCH(int, side);
        QFETCH(int, base);

        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, stereo));
        worker.setSide(side);
        pushNumbered(worker, true, MyBase, 5);
        pushNumbered(worker, false, RemoteBase, 5);
        worker.Stop();

        std::vector<Samples> expected;
        for (int n = 0; n < 5; ++n)
            expected.push_back(stereo ? stereoOf(constantBlock(0), numbered(base, n)) : numbered(base, n));
        QCOMPARE(writer.blocks(), expected);
    }

    // Pairs are written while both streams deliver; a stream that stalls holds everything back
    // until Stop, which writes the remaining pairs and then the longer queue's surplus alone.
    void stopDrainsPairsThenTheSurplus_data()
    {
        QTest::addColumn<int>("mySideBlocks");
        QTest::addColumn<int>("remoteSideBlocks");

        QTest::newRow("equal") << 200 << 200;
        QTest::newRow("remote side longer") << 10 << 15;
        QTest::newRow("my side longer") << 15 << 10;
        QTest::newRow("remote side stalled") << 50 << 0;
    }

    void stopDrainsPairsThenTheSurplus()
    {
        QFETCH(int, mySideBlocks);
        QFETCH(int, remoteSideBlocks);

        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, true));
        pushNumbered(worker, true, MyBase, mySideBlocks);
        pushNumbered(worker, false, RemoteBase, remoteSideBlocks);

        const int pairs = std::min(mySideBlocks, remoteSideBlocks);
        QTRY_COMPARE(writer.count(), pairs);
        // Give the worker several rounds: it must not write a lone block while recording.
        QTest::qWait(700);
        QCOMPARE(writer.count(), pairs);

        worker.Stop();
        std::vector<Samples> expected;
        for (int n = 0; n < pairs; ++n)
            expected.push_back(stereoOf(numbered(MyBase, n), numbered(RemoteBase, n)));
        for (int n = pairs; n < mySideBlocks; ++n)
            expected.push_back(stereoOf(constantBlock(0), numbered(MyBase, n)));
        for (int n = pairs; n < remoteSideBlocks; ++n)
            expected.push_back(stereoOf(constantBlock(0), numbered(RemoteBase, n)));
        QCOMPARE(writer.blocks(), expected);
        QCOMPARE(worker.queuedMySide(), 0);
        QCOMPARE(worker.queuedRemoteSide(), 0);
        QVERIFY(!worker.isRunning());
    }

    void poolGrowsBeyondItsBlocksAndLosesNothing()
    {
        constexpr int Blocks = 3000;
        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, false));
        QCOMPARE(worker.poolBlocksMySide(), 1024);
        // The remote side stalls: the whole my-side stream waits in its queue.
        pushNumbered(worker, true, 0, Blocks);
        QCOMPARE(worker.queuedMySide(), Blocks);
        QVERIFY(worker.poolBlocksMySide() >= Blocks);
        pushNumbered(worker, false, 0, Blocks);
        worker.Stop();

        const std::vector<Samples> blocks = writer.blocks();
        QCOMPARE(int(blocks.size()), Blocks);
        for (int n = 0; n < Blocks; ++n)
            QCOMPARE(blocks[std::size_t(n)], numbered(0, 2 * n));
    }

    void pushTakesOnlyWholeBlocksWhileRunning_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("320") << 320 << true;
        QTest::newRow("319") << 319 << false;
        QTest::newRow("321") << 321 << false;
        QTest::newRow("640") << 640 << false;
        QTest::newRow("0") << 0 << false;
    }

    void pushTakesOnlyWholeBlocksWhileRunning()
    {
        QFETCH(int, bytes);
        QFETCH(bool, accepted);
        MixWorker worker;
        Samples pcm(400, 7);
        const CBuffer block(reinterpret_cast<unsigned char*>(pcm.data()), bytes);

        // Not recording: whole blocks are dropped, quietly.
        QCOMPARE(worker.PushMySide(block), accepted);
        QCOMPARE(worker.queuedMySide(), 0);

        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, false));
        worker.setSide(MixWorker::BothSides);
        QCOMPARE(worker.PushMySide(block), accepted);
        QCOMPARE(worker.queuedMySide(), accepted ? 1 : 0);
        worker.Stop();
    }

    void startWithoutAFileRecordsNothing()
    {
        QTemporaryDir dir;
        RecordingMessagePresenter presenter;
        MixWorker worker;
        QVERIFY(!worker.Start(QString(), 32000, 64, 1));
        QVERIFY(!worker.Start(dir.filePath(QStringLiteral("missing/x.mp3")), 32000, 64, 1));
        QCOMPARE(presenter.count(), 1);
        QVERIFY(!worker.isRunning());
        QVERIFY(!worker.isWorking());
        push(worker, true, constantBlock(1));
        QCOMPARE(worker.queuedMySide(), 0);
    }

    void abortLeavesTheQueueAndTheFileStillCloses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("aborted.mp3"));
        CMp3File file;
        QVERIFY(file.Open(path, 32000, 64, 1));
        CountingMp3Writer writer(file);
        MixWorker worker;
        QVERIFY(worker.StartWriting(&writer, true));

        std::vector<std::int16_t> mine = tone(440, 100 * BlockSamples);
        std::vector<std::int16_t> theirs = tone(880, 100 * BlockSamples);
        for (int n = 0; n < 100; ++n) {
            QVERIFY(worker.PushMySide(view(mine, std::size_t(n * BlockSamples), BlockSamples)));
            QVERIFY(worker.PushRemoteSide(view(theirs, std::size_t(n * BlockSamples), BlockSamples)));
        }
        QTRY_COMPARE(writer.writes(), 100);
        pushNumbered(worker, true, MyBase, 300);

        worker.Abort();
        QTRY_VERIFY(!worker.isWorking());
        QCOMPARE(writer.writes(), 100);
        QCOMPARE(worker.queuedMySide(), 300);
        QVERIFY(file.isOpen());

        worker.Destroy();
        QVERIFY(!file.isOpen());
        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.channels(), 2);
        QVERIFY(probe.seconds() > 1.0 && probe.seconds() < 1.2);
        QVERIFY(probe.toneAmplitude(0, 440) > 6000);
        QVERIFY(probe.toneAmplitude(1, 880) > 6000);
    }

    // Stop runs on the user-interface thread: while it waits, that thread's events go on.
    void stopHandlesEventsWhileWaiting()
    {
        MixWorker worker;
        GatedWriter writer;
        catchInFirstWrite(worker, writer, 3);

        bool handled = false;
        QTimer::singleShot(0, this, [&] {
            handled = true;
            writer.open();
        });
        worker.Stop();
        QVERIFY(handled);
        QCOMPARE(writer.count(), 3);
        QCOMPARE(writer.log().last(), QStringLiteral("close"));
    }

    // Exit during a recording: Abort, then the program's end destroys the worker. The file is
    // closed only after the write in progress has finished, and nothing after it is written.
    void destroyAfterAbortWaitsForTheWriteInProgress()
    {
        MixWorker worker;
        GatedWriter writer;
        catchInFirstWrite(worker, writer, 5);

        worker.Abort();
        std::thread opener([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            writer.open();
        });
        worker.Destroy();
        opener.join();

        QCOMPARE(writer.log(), (QStringList{"write begins", "write", "close"}));
        QVERIFY(!worker.isWorking());
        // Nothing can be recorded any more.
        QVERIFY(!worker.StartWriting(&writer, true));
        push(worker, true, constantBlock(1));
    }

    // A recording still running at the program's end (without Exit's abort) keeps what was
    // queued: the worker drains before the file is closed.
    void destroyWhileRecordingWritesTheQueueFirst()
    {
        MixWorker worker;
        CapturingWriter writer;
        QVERIFY(worker.StartWriting(&writer, false));
        pushNumbered(worker, true, MyBase, 20);
        worker.Destroy();
        QCOMPARE(writer.count(), 20);
        QCOMPARE(writer.log().last(), QStringLiteral("close"));
    }

    // Blocks an ended recording left queued are not carried into the next one: its file starts
    // with its own audio and its two sides are paired block for block.
    void nextRecordingStartsWithoutLeftBlocks_data()
    {
        QTest::addColumn<bool>("aborted");
        QTest::addColumn<int>("side");
        // Exit's abort leaves the queue unwritten; here the remote side stalled, so all of my
        // side waits.
        QTest::newRow("aborted") << true << int(MixWorker::BothSides);
        // A my-side recording ends once my side is written, the other queue as it stands.
        QTest::newRow("other side of a one-side recording") << false << int(MixWorker::MySideOnly);
    }

    void nextRecordingStartsWithoutLeftBlocks()
    {
        QFETCH(bool, aborted);
        QFETCH(int, side);
        MixWorker worker;
        CapturingWriter first, second;
        QVERIFY(worker.StartWriting(&first, true));
        worker.setSide(side);
        pushNumbered(worker, side != MixWorker::MySideOnly, MyBase, 3);
        if (aborted)
            worker.Abort();
        worker.Stop();
        QCOMPARE(first.count(), 0); // all three blocks were left queued

        worker.setSide(MixWorker::BothSides);
        QVERIFY(worker.StartWriting(&second, true));
        pushNumbered(worker, true, MyBase + 100, 2);
        pushNumbered(worker, false, RemoteBase, 2);
        worker.Stop();
        const std::vector<Samples> expected{stereoOf(numbered(MyBase + 100, 0), numbered(RemoteBase, 0)),
                                            stereoOf(numbered(MyBase + 100, 1), numbered(RemoteBase, 1))};
        QCOMPARE(second.blocks(), expected);
    }

    void startsAgainAfterStop()
    {
        MixWorker worker;
        CapturingWriter first, second;
        QVERIFY(worker.StartWriting(&first, false));
        QVERIFY(!worker.StartWriting(&second, false)); // one recording at a time
        pushNumbered(worker, true, MyBase, 2);
        pushNumbered(worker, false, RemoteBase, 2);
        worker.Stop();
        worker.Stop(); // a second Stop does nothing

        QVERIFY(worker.StartWriting(&second, false));
        pushNumbered(worker, true, MyBase, 3);
        pushNumbered(worker, false, RemoteBase, 3);
        worker.Stop();
        QCOMPARE(first.count(), 2);
        QCOMPARE(second.count(), 3);
        QCOMPARE(first.log().count(QStringLiteral("close")), 1);
    }
};

QTEST_GUILESS_MAIN(TestMixWorker)
#include "tst_mixworker.moc"
