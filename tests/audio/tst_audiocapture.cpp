#include "AudioTestSignals.h"
#include "CapturingWriter.h"
#include "audio/AudioCapture.h"
#include "audio/IWriteToFile.h"
#include "audio/UniqueFd.h"
#include "platform/WindowMessages.h"
#include "support/Mp3Probe.h"
#include "support/RecordingMessagePresenter.h"
#include "support/WindowMessageRecorder.h"

#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>

using namespace AudioTestSignals;
using Samples = std::vector<std::int16_t>;
// A level message: the meter's message number, the level, and 0.
using Level = WindowMessageRecorder::Message;

namespace {

constexpr int MyBase = 1000;
constexpr int RemoteBase = 20000;

// Skype's end of one audio connection.
class Client {
public:
    // The socket alone, to be connected later by connectTo.
    Client() : m_socket(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    explicit Client(std::uint16_t port) : Client() { connectTo(port); }

    bool connectTo(std::uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const int on = 1;
        setsockopt(m_socket.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return m_connected;
    }

    bool isConnected() const { return m_connected; }

    bool send(const void* data, std::size_t bytes)
    {
        const char* p = static_cast<const char*>(data);
        while (bytes > 0) {
            const ssize_t sent = ::send(m_socket.get(), p, bytes, MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            p += sent;
            bytes -= std::size_t(sent);
        }
        return true;
    }
    bool send(const Samples& pcm) { return send(pcm.data(), pcm.size() * 2); }

    void close() { m_socket.reset(); }
    // Closes with a reset instead of an orderly end.
    void reset()
    {
        const linger abortive{1, 0};
        setsockopt(m_socket.get(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        m_socket.reset();
    }

    // True once the server has ended the connection from its side.
    bool waitForServerClose()
    {
        pollfd slot{m_socket.get(), POLLIN, 0};
        if (poll(&slot, 1, 10000) <= 0)
            return false;
        char byte;
        return recv(m_socket.get(), &byte, 1, 0) <= 0;
    }

private:
    UniqueFd m_socket;
    bool m_connected = false;
};

// While it lives the process can make no new file descriptor, as when the program has run out
// of them: the limit is lowered to the lowest free descriptor.
class NoDescriptorsLeft {
public:
    NoDescriptorsLeft()
    {
        if (getrlimit(RLIMIT_NOFILE, &m_saved) != 0)
            return;
        const int lowestFree = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (lowestFree < 0)
            return;
        ::close(lowestFree);
        rlimit lowered = m_saved;
        lowered.rlim_cur = rlim_t(lowestFree);
        m_set = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~NoDescriptorsLeft()
    {
        if (m_set)
            setrlimit(RLIMIT_NOFILE, &m_saved);
    }
    NoDescriptorsLeft(const NoDescriptorsLeft&) = delete;
    NoDescriptorsLeft& operator=(const NoDescriptorsLeft&) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    bool m_set = false;
};

Samples numberedBlocks(int base, int count)
{
    Samples pcm;
    for (int n = 0; n < count; ++n) {
        const Samples block = constantBlock(base + n);
        pcm.insert(pcm.end(), block.begin(), block.end());
    }
    return pcm;
}

// A stream in which a byte out of place changes the samples: every sample differs from its
// neighbours in both bytes.
Samples distinctSamples(int count)
{
    Samples pcm(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        pcm[std::size_t(i)] = std::int16_t((i * 2741 + 17) % 65536 - 32768);
    return pcm;
}

} // namespace

class TestAudioCapture : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_closed.store(0);
        m_capture = &AudioCapture::instance();
        m_capture->setConnectionClosedHook([this] { ++m_closed; });
        m_capture->setLevelTarget(&m_levels);
        m_levels.clear();
        QVERIFY(m_capture->startMySideServer(0));
        QVERIFY(m_capture->startRemoteSideServer(0));
        QVERIFY(m_capture->isServingMySide() && m_capture->isServingRemoteSide());
        QCOMPARE(m_capture->captureState(), CaptureState::Idle);
    }

    void cleanup()
    {
        AudioCapture::destroyInstance();
        QVERIFY(!AudioCapture::hasInstance());
    }

    void wholeBlocksQueueInOrder_data()
    {
        QTest::addColumn<int>("blocks");
        QTest::newRow("320 bytes") << 1;
        QTest::newRow("640 bytes") << 2;
        QTest::newRow("960 bytes") << 3;
    }

    void wholeBlocksQueueInOrder()
    {
        QFETCH(int, blocks);
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);
        sendAndClose(myPort(), numberedBlocks(MyBase, blocks));
        m_capture->stopRecording();
        QCOMPARE(m_capture->captureState(), CaptureState::Stopped);
        QCOMPARE(writer.stream(), numberedBlocks(MyBase, blocks));
    }

    // TCP keeps no boundaries: however the stream is split, it comes out as the same samples,
    // cut into whole blocks. An incomplete block at the end of a connection is dropped.
    void reassemblyLosesNothing_data()
    {
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<int>("blocks");
        QTest::newRow("1022-byte writes") << QList<int>{1022} << 100;
        QTest::newRow("333-byte writes") << QList<int>{333} << 100;
        QTest::newRow("mixed odd sizes") << QList<int>{1, 7, 319, 1022, 641, 320, 3} << 100;
        QTest::newRow("single bytes") << QList<int>{1} << 10;
    }

    void reassemblyLosesNothing()
    {
        QFETCH(QList<int>, pieces);
        QFETCH(int, blocks);
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);

        const Samples whole = distinctSamples(blocks * BlockSamples);
        QByteArray bytes(reinterpret_cast<const char*>(whole.data()), qsizetype(whole.size() * 2));
        bytes.append(QByteArray(101, '\x55')); // the unfinished block at the end
        Client client(myPort());
        QVERIFY(client.isConnected());
        qsizetype sent = 0;
        for (int i = 0; sent < bytes.size(); ++i) {
            const qsizetype piece = std::min<qsizetype>(pieces[i % pieces.size()], bytes.size() - sent);
            QVERIFY(client.send(bytes.constData() + sent, std::size_t(piece)));
            sent += piece;
            if (pieces.size() > 1 || pieces[0] > 1)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        client.close();
        QTRY_COMPARE(m_closed.load(), 1);
        m_capture->stopRecording();
        QCOMPARE(writer.stream(), whole);
    }

    void onlyRecordingStatesQueue_data()
    {
        QTest::addColumn<CaptureState>("state");
        QTest::addColumn<int>("queued");
        QTest::newRow("Idle") << CaptureState::Idle << 0;
        QTest::newRow("Recording") << CaptureState::Recording << 3;
        QTest::newRow("Paused") << CaptureState::Paused << 0;
        QTest::newRow("Resumed") << CaptureState::Resumed << 3;
        QTest::newRow("Stopped") << CaptureState::Stopped << 0;
    }

    void onlyRecordingStatesQueue()
    {
        QFETCH(CaptureState, state);
        QFETCH(int, queued);
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);
        m_capture->setCaptureState(state);
        sendAndClose(myPort(), numberedBlocks(MyBase, 3));
        m_capture->mixWorker().Stop();
        QCOMPARE(int(writer.blocks().size()), queued);
    }

    void sideSelectsThePorts_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<std::vector<Samples>>("expected");
        const Samples silence = constantBlock(0);
        auto frames = [](const Samples& left, const Samples& right) { return interleave(left, right); };

        QTest::newRow("both sides") << 0
                                    << std::vector<Samples>{
                                           frames(constantBlock(MyBase), constantBlock(RemoteBase)),
                                           frames(constantBlock(MyBase + 1), constantBlock(RemoteBase + 1))};
        QTest::newRow("my side only") << 1
                                      << std::vector<Samples>{frames(silence, constantBlock(MyBase)),
                                                              frames(silence, constantBlock(MyBase + 1))};
        QTest::newRow("remote side only") << 2
                                          << std::vector<Samples>{frames(silence, constantBlock(RemoteBase)),
                                                                  frames(silence, constantBlock(RemoteBase + 1))};
        QTest::newRow("unknown side takes the remote side")
            << 5
            << std::vector<Samples>{frames(silence, constantBlock(RemoteBase)),
                                    frames(silence, constantBlock(RemoteBase + 1))};
    }

    void sideSelectsThePorts()
    {
        QFETCH(int, side);
        QFETCH(std::vector<Samples>, expected);
        CapturingWriter writer;
        record(writer, true, side);
        sendAndClose(myPort(), numberedBlocks(MyBase, 2));
        sendAndClose(remotePort(), numberedBlocks(RemoteBase, 2));
        m_capture->stopRecording();
        QCOMPARE(writer.blocks(), expected);
    }

    // Each connection below makes exactly one read: the meters take every sixth read of their
    // stream, recording or not.
    void levelsArriveOnEverySixthRead()
    {
        Samples loud = constantBlock(0);
        loud[0] = -32768;
        for (int read = 0; read < 5; ++read)
            sendAndClose(myPort(), loud);
        QCoreApplication::processEvents();
        QVERIFY(m_levels.messages().isEmpty());
        sendAndClose(myPort(), loud);
        QTRY_COMPARE(m_levels.messages().size(), 1);
        QCOMPARE(m_levels.messages()[0], Level(WM_LEVEL_MY_SIDE, 512, 0));

        // Over silence the meter falls by 4 per reading.
        for (int read = 0; read < 6; ++read)
            sendAndClose(myPort(), constantBlock(0));
        QTRY_COMPARE(m_levels.messages().size(), 2);
        QCOMPARE(m_levels.messages()[1], Level(WM_LEVEL_MY_SIDE, 508, 0));

        Samples hundred = constantBlock(0);
        hundred[0] = 6400;
        for (int read = 0; read < 6; ++read)
            sendAndClose(remotePort(), hundred);
        for (int read = 0; read < 12; ++read)
            sendAndClose(remotePort(), constantBlock(0));
        QTRY_COMPARE(m_levels.messages().size(), 5);
        QCOMPARE(m_levels.messages()[2], Level(WM_LEVEL_REMOTE_SIDE, 100, 0));
        QCOMPARE(m_levels.messages()[3], Level(WM_LEVEL_REMOTE_SIDE, 96, 0));
        QCOMPARE(m_levels.messages()[4], Level(WM_LEVEL_REMOTE_SIDE, 92, 0));
    }

    void levelMeter_data()
    {
        QTest::addColumn<int>("lastLevel");
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<int>("level");
        QTest::newRow("full scale first sample") << 0 << QList<int>{-32768, 0, 0} << 512;
        QTest::newRow("largest positive") << 0 << QList<int>{32767} << 511;
        QTest::newRow("only every tenth sample counts")
            << 0 << QList<int>{0, 30000, 0, 0, 0, 0, 0, 0, 0, 0, -640} << 10;
        QTest::newRow("falls by 4") << 100 << QList<int>{0} << 96;
        QTest::newRow("falls to 0, not below") << 3 << QList<int>{0} << 0;
        QTest::newRow("falls while quieter") << 100 << QList<int>{6144} << 96;
        QTest::newRow("rises at once") << 10 << QList<int>{6400} << 100;
    }

    void levelMeter()
    {
        QFETCH(int, lastLevel);
        QFETCH(QList<int>, samples);
        QFETCH(int, level);
        Samples pcm;
        for (int s : samples)
            pcm.push_back(std::int16_t(s));
        Samples start = constantBlock(0);
        start[0] = std::int16_t(-(lastLevel << 6));

        LevelMeter meter;
        for (int read = 0; read < 5; ++read)
            QVERIFY(!meter.onRead(start.data(), int(start.size())));
        QCOMPARE(meter.onRead(start.data(), int(start.size())), std::optional<int>(lastLevel));
        for (int read = 0; read < 5; ++read)
            QVERIFY(!meter.onRead(pcm.data(), int(pcm.size())));
        QCOMPARE(meter.onRead(pcm.data(), int(pcm.size())), std::optional<int>(level));
    }

    void closedConnectionAsksForTheAudioAgain()
    {
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);
        const AudioServer& server = m_capture->mySideServer();
        QCOMPARE(server.state(), int(AudioServer::Listening));
        {
            Client first(myPort());
            QTRY_COMPARE(server.connectionCount(), 1);
            QCOMPARE(server.state(), int(AudioServer::Connected));
        }
        QTRY_COMPARE(m_closed.load(), 1);
        QCOMPARE(server.connectionCount(), 0);
        QCOMPARE(server.state(), int(AudioServer::Listening));

        Client reset(remotePort());
        QTRY_COMPARE(m_capture->remoteSideServer().connectionCount(), 1);
        reset.reset();
        QTRY_COMPARE(m_closed.load(), 2);

        // The server goes on accepting, and the new connection is recorded.
        sendAndClose(myPort(), numberedBlocks(MyBase, 1));
        QCOMPARE(m_closed.load(), 3);
        m_capture->stopRecording();
        QCOMPARE(writer.stream(), numberedBlocks(MyBase, 1));
    }

    // Out of file descriptors the server cannot take a connection: it refuses it, rather than
    // leaving it to wake the receiving thread again and again, and goes on listening, so the
    // next call is recorded once descriptors are free again.
    void connectionWithoutAFreeDescriptorIsRefusedAndServingGoesOn()
    {
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);
        Client turnedAway; // its socket made while descriptors are still free
        {
            const NoDescriptorsLeft noneLeft;
            QVERIFY(noneLeft.isSet());
            QVERIFY(turnedAway.connectTo(myPort()));
            QVERIFY(turnedAway.waitForServerClose());
        }
        QCOMPARE(m_capture->mySideServer().state(), int(AudioServer::Listening));
        QCOMPARE(m_capture->mySideServer().connectionCount(), 0);

        sendAndClose(myPort(), numberedBlocks(MyBase, 1));
        m_capture->stopRecording();
        QCOMPARE(writer.stream(), numberedBlocks(MyBase, 1));
    }

    void connectionsBeyondSixtyTwoAreRefused()
    {
        CapturingWriter writer;
        record(writer, false, MixWorker::MySideOnly);
        std::vector<std::unique_ptr<Client>> clients;
        for (int i = 0; i < 62; ++i) {
            clients.push_back(std::make_unique<Client>(myPort()));
            QVERIFY(clients.back()->isConnected());
        }
        QTRY_COMPARE(m_capture->mySideServer().connectionCount(), 62);

        Client refused(myPort());
        QVERIFY(refused.waitForServerClose());
        QCOMPARE(m_capture->mySideServer().connectionCount(), 62);
        QCOMPARE(m_closed.load(), 0);

        // The others are unaffected, and a place that comes free is taken again.
        QVERIFY(clients[10]->send(numberedBlocks(MyBase, 1)));
        clients[10]->close();
        QTRY_COMPARE(m_closed.load(), 1);
        Client again(myPort());
        QTRY_COMPARE(m_capture->mySideServer().connectionCount(), 62);
        QVERIFY(again.send(numberedBlocks(MyBase + 1, 1)));
        QVERIFY(clients[61]->send(numberedBlocks(MyBase + 2, 1)));
        again.close();
        clients[61]->close();
        QTRY_COMPARE(m_closed.load(), 3);
        m_capture->stopRecording();
        QCOMPARE(writer.blocks().size(), std::size_t(3));
    }

    void portThatCannotBeListenedOnIsReported_data()
    {
        QTest::addColumn<bool>("mySideBlocked");
        QTest::newRow("my side") << true;
        QTest::newRow("remote side") << false;
    }

    void portThatCannotBeListenedOnIsReported()
    {
        QFETCH(bool, mySideBlocked);
        AudioCapture::destroyInstance();
        m_capture = &AudioCapture::instance();
        m_capture->setConnectionClosedHook([this] { ++m_closed; });

        // Another program listens on the port already.
        UniqueFd other(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QCOMPARE(bind(other.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        QCOMPARE(listen(other.get(), 4), 0);
        QCOMPARE(getsockname(other.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
        const std::uint16_t taken = ntohs(address.sin_port);

        RecordingMessagePresenter presenter;
        if (mySideBlocked) {
            QVERIFY(!m_capture->startMySideServer(taken));
            QVERIFY(m_capture->startRemoteSideServer(0));
        } else {
            QVERIFY(m_capture->startMySideServer(0));
            QVERIFY(!m_capture->startRemoteSideServer(taken));
        }
        QCOMPARE(m_capture->isServingMySide(), !mySideBlocked);
        QCOMPARE(m_capture->isServingRemoteSide(), mySideBlocked);

        QCOMPARE(presenter.count(), 1);
        const MessageRequest request = presenter.requests().first();
        QCOMPARE(request.caption, QStringLiteral("Tallowin Skype Recorder"));
        QCOMPARE(request.text, QStringLiteral("Create socket failed! Please make sure your firewall/anti-virus "
                                              "software does NOT block the port '%1'!")
                                   .arg(taken));
        QCOMPARE(request.icon, MessageIcon::Information);
        QCOMPARE(request.owner, nullptr);

        // The other server works.
        sendAndClose(mySideBlocked ? remotePort() : myPort(), numberedBlocks(MyBase, 1));
    }

    void pauseAndResumeChangeOnlyTheState()
    {
        m_capture->pause();
        QCOMPARE(m_capture->captureState(), CaptureState::Idle);
        m_capture->setCaptureState(CaptureState::Recording);
        m_capture->pause();
        QCOMPARE(m_capture->captureState(), CaptureState::Paused);
        m_capture->pause();
        QCOMPARE(m_capture->captureState(), CaptureState::Paused);
        m_capture->resume();
        QCOMPARE(m_capture->captureState(), CaptureState::Resumed);
        m_capture->resume();
        QCOMPARE(m_capture->captureState(), CaptureState::Resumed);
        m_capture->pause();
        QCOMPARE(m_capture->captureState(), CaptureState::Paused);
    }

    // A call as Skype delivers it, recorded to an MP3 file in stereo: my side left, the remote
    // side right.
    void recordsACallToMp3()
    {
        QTemporaryDir dir;
        const QString base = dir.filePath(QStringLiteral("alice_2024-05-01_10-00-00"));
        QVERIFY(m_capture->startRecording(base, 32000, 64, 1));
        m_capture->setSide(MixWorker::BothSides);
        m_capture->setCaptureState(CaptureState::Recording);
        QVERIFY(!m_capture->startRecording(dir.filePath(QStringLiteral("second")), 32000, 64, 1));

        constexpr int Seconds = 2;
        const Samples mine = tone(440, Seconds * InputRate);
        const Samples theirs = tone(880, Seconds * InputRate);
        Client microphone(myPort()), output(remotePort());
        for (std::size_t first = 0; first < mine.size(); first += BlockSamples) {
            QVERIFY(microphone.send(mine.data() + first, BlockBytes));
            QVERIFY(output.send(theirs.data() + first, BlockBytes));
        }
        microphone.close();
        output.close();
        QTRY_COMPARE(m_closed.load(), 2);
        m_capture->stopRecording();

        const Mp3Probe probe(base + QStringLiteral(".mp3"));
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.sampleRate(), 32000);
        QCOMPARE(probe.channels(), 2);
        QVERIFY(probe.seconds() >= Seconds && probe.seconds() < Seconds + 0.15);
        QVERIFY(probe.toneAmplitude(0, 440) > 6000);
        QVERIFY(probe.toneAmplitude(0, 880) < 600);
        QVERIFY(probe.toneAmplitude(1, 880) > 6000);
        QVERIFY(probe.toneAmplitude(1, 440) < 600);
    }

private:
    std::uint16_t myPort() const { return m_capture->mySideServer().port(); }
    std::uint16_t remotePort() const { return m_capture->remoteSideServer().port(); }

    void record(IWriteToFile& writer, bool stereo, int side)
    {
        QVERIFY(m_capture->mixWorker().StartWriting(&writer, stereo));
        m_capture->setSide(side);
        m_capture->setCaptureState(CaptureState::Recording);
    }

    // One connection that sends pcm and closes; returns once the server has seen the close,
    // and so every byte before it.
    void sendAndClose(std::uint16_t port, const Samples& pcm)
    {
        const int closedBefore = m_closed.load();
        Client client(port);
        QVERIFY(client.isConnected());
        QVERIFY(client.send(pcm));
        client.close();
        QTRY_COMPARE(m_closed.load(), closedBefore + 1);
    }

    AudioCapture* m_capture = nullptr;
    WindowMessageRecorder m_levels;
    std::atomic<int> m_closed{0};
};

QTEST_GUILESS_MAIN(TestAudioCapture)
#include "tst_audiocapture.moc"
