#include "ExpectedCommands.h"
#include "audio/AudioCapture.h"
#include "platform/WindowMessages.h"
#include "settings/CGeneralProfile.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeLink.h"
#include "skype/StatusCodes.h"
#include "support/Mp3Probe.h"
#include "support/StandInProcess.h"
#include "support/WindowMessageRecorder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QStringList firstAttach = QStringList{ExpectedCommands::name} + ExpectedCommands::firstAttach;

// The part of `list` that starts with `first` and is as long as `length`.
QStringList runFrom(const QStringList& list, const QString& first, qsizetype length)
{
    const qsizetype at = list.indexOf(first);
    return at < 0 ? QStringList{} : list.mid(at, length);
}
} // namespace

using ExpectedCommands::captureMic;
using ExpectedCommands::output;

// Calls, audio and chats between the program's link and the stand-in Skype client, a separate
// process on the test's own session bus.
class TestSkypeCallsDBus : public QObject {
    Q_OBJECT

    WindowMessageRecorder m_owner;
    QStringList m_received;
    std::unique_ptr<StandInProcess> m_skype;
    std::atomic<int> m_audioClosed{0};

    static SkypeLink& link() { return SkypeLink::LinkInstance(); }

    void startSkype(const QStringList& arguments)
    {
        m_skype = std::make_unique<StandInProcess>(TSR_SKYPE_STANDIN, arguments);
        QVERIFY(m_skype->waitUntilReady());
    }

    void attach(const QStringList& standInArguments)
    {
        startSkype(standInArguments);
        startLink();
    }

    void startLink()
    {
        QVERIFY(SkypeLink::StartLink(&m_owner, std::make_unique<DBusSkypeTransport>()));
        connect(&link(), &SkypeLink::textReceived, this, [this](const QString& text) { m_received.append(text); });
        QTRY_COMPARE(m_skype->commands().mid(0, firstAttach.size()), firstAttach);
    }

    // Audio servers of the program on free ports; the link asks Skype for those.
    AudioCapture& startAudio()
    {
        AudioCapture& capture = AudioCapture::instance();
        capture.setConnectionClosedHook([this] {
            ++m_audioClosed;
            SkypeLink::ReissueAudioRedirect();
        });
        if (!capture.startMySideServer(0) || !capture.startRemoteSideServer(0))
            qFatal("audio servers did not start");
        return capture;
    }

    void redirectTo(const AudioCapture& capture)
    {
        link().setAudioPorts(capture.mySideServer().port(), capture.remoteSideServer().port());
    }

    QStringList events(const QString& start)
    {
        QStringList found = m_skype->lines(QStringLiteral("event"));
        found.removeIf([&start](const QString& line) { return !line.startsWith(start); });
        return found;
    }

    // Whether Skype has handled every command the link queued so far: a ping pushed behind
    // them has been answered.
    bool skypeHasCaughtUp()
    {
        const qsizetype pings = m_skype->commands().count(QStringLiteral("ping"));
        link().PushCommand(QStringLiteral("ping"));
        return QTest::qWaitFor([&] { return m_skype->commands().count(QStringLiteral("ping")) > pings; }, 10000);
    }

private slots:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    void cleanup()
    {
        SkypeLink::ShutdownLink();
        AudioCapture::destroyInstance();
        CGeneralProfile::DestroyInstance();
        m_skype.reset();
        m_received.clear();
        m_owner.clear();
        m_audioClosed.store(0);
    }

    // The call rings, is answered and hung up by the other party; the audio is asked for on
    // the program's ports, in the stand-in's log.
    void callInProgressIsRedirected()
    {
        attach({"--no-audio", "--friends", "echo123=Echo Test Service"});
        m_owner.clear();
        m_skype->send("incoming-call echo123 0.3 -");

        QTRY_COMPARE(runFrom(m_skype->commands(), captureMic("101", 38377), 5),
                     (QStringList{captureMic("101", 38377), output("101", 38376), "get call 101 type",
                                  "get call 101 target_identity", "get call 101 partner_handle"}));
        const QStringList commands = m_skype->commands();
        // While ringing: the type, and the partner of the new call.
        QCOMPARE(runFrom(commands, "get call 101 type", 2),
                 (QStringList{"get call 101 type", "get call 101 partner_handle"}));
        QVERIFY(commands.indexOf("get call 101 type") < commands.indexOf(captureMic("101", 38377)));
        QVERIFY(commands.contains("get user echo123 fullname"));

        CallTable& table = link().callTable();
        QTRY_COMPARE(table.StatusAt(0), int(CallInProgress));
        QTRY_COMPARE(table.PartnerOf("101"), QStringLiteral("echo123"));
        QVERIFY(link().IsIncomingCall());
        QCOMPARE(table.EarliestActiveCall().callId, QStringLiteral("101"));
        QTRY_COMPARE(link().contactDirectory().DisplayNamesFor("echo123"), QStringLiteral("Echo Test Service"));

        m_skype->send("hangup");
        QTRY_COMPARE(table.StatusAt(0), int(CallFinished));
        QVERIFY(!table.AnyCallActive());
        const auto statusEvents = std::count(m_owner.messages().cbegin(), m_owner.messages().cend(),
                                             WindowMessageRecorder::Message{WM_LINK_CALL, 0, LINK_CALL_STATUS_CHANGED});
        QCOMPARE(statusEvents, 3); // ringing, in progress, finished
        QVERIFY(m_owner.messages().contains({WM_LINK_CALL, 0, LINK_CALL_PARTNER_KNOWN}));
    }

    // The stand-in streams a tone for each side to the ports the link named; recorded through
    // the audio servers, my side is on the left and the remote side on the right.
    void audioReachesTheProgram_data()
    {
        QTest::addColumn<bool>("oddPieces");
        QTest::newRow("whole blocks") << false;
        QTest::newRow("pieces of odd sizes") << true;
    }

    void audioReachesTheProgram()
    {
        QFETCH(bool, oddPieces);
        AudioCapture& capture = startAudio();
        QTemporaryDir dir;
        const QString base = dir.filePath("echo123_2024-05-01_10-00-00");
        QVERIFY(capture.startRecording(base, 16000, 32, 1));
        capture.setSide(0);
        capture.setCaptureState(CaptureState::Recording);

        attach(oddPieces ? QStringList{"--odd-pieces"} : QStringList{});
        redirectTo(capture);
        m_skype->send("incoming-call echo123 0.1 -");
        const QString myPort = QString::number(capture.mySideServer().port());
        const QString remotePort = QString::number(capture.remoteSideServer().port());
        QTRY_COMPARE(events("audio mic of call 101 connected"),
                     QStringList{"audio mic of call 101 connected to port " + myPort});
        QTRY_COMPARE(events("audio output of call 101 connected"),
                     QStringList{"audio output of call 101 connected to port " + remotePort});
        QTRY_COMPARE(capture.mySideServer().connectionCount(), 1);
        QTRY_COMPARE(capture.remoteSideServer().connectionCount(), 1);

        QTest::qWait(1500); // talking
        m_skype->send("hangup");
        QTRY_COMPARE(m_audioClosed.load(), 2);
        capture.stopRecording();

        const Mp3Probe probe(base + ".mp3");
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.channels(), 2);
        QVERIFY2(probe.seconds() > 1.0, qPrintable(QString::number(probe.seconds())));
        const std::int64_t quarter = probe.sampleRate() / 4;
        const std::int64_t length = probe.frames() - 2 * quarter;
        QVERIFY(probe.toneAmplitude(0, 440, quarter, length) > 10 * probe.toneAmplitude(0, 880, quarter, length));
        QVERIFY(probe.toneAmplitude(1, 880, quarter, length) > 10 * probe.toneAmplitude(1, 440, quarter, length));
        QVERIFY(probe.toneAmplitude(0, 440, quarter, length) > 2000);
    }

    // Skype drops its audio connections in the middle of a call: the program asks again and
    // Skype connects anew, once per side.
    void droppedAudioIsAskedForAgain()
    {
        AudioCapture& capture = startAudio();
        attach({});
        redirectTo(capture);
        m_skype->send("incoming-call echo123 0.1 -");
        QTRY_COMPARE(events("audio output of call 101 connected").size(), 1);
        QTRY_COMPARE(events("audio mic of call 101 connected").size(), 1);

        m_skype->send("audio-drop 101");
        QTRY_COMPARE(m_audioClosed.load(), 2);
        QTRY_COMPARE(events("audio mic of call 101 connected").size(), 2);
        QTRY_COMPARE(events("audio output of call 101 connected").size(), 2);
        QTRY_COMPARE(capture.mySideServer().connectionCount(), 1);
        QTRY_COMPARE(capture.remoteSideServer().connectionCount(), 1);
        // Each closed connection asked for both sides again; the side still streaming stays one.
        QTRY_COMPARE(m_skype->commands().count(captureMic("101", capture.mySideServer().port())), 3);
        QTRY_COMPARE(events("audio mic of call 101 streams already").size(), 1);
        QTRY_COMPARE(events("audio output of call 101 streams already").size(), 1);
        QCOMPARE(events("audio mic of call 101 connected").size(), 2);
    }

    // The program closes one of Skype's audio connections and asks for the audio again at once,
    // before Skype's next round of sending has found the connection closed: Skype connects anew.
    // The command goes straight to Skype, not through the link's sender, so that it arrives
    // within that round.
    void audioClosedByTheProgramIsAskedForAgain()
    {
        QTcpServer micServer;
        QTcpServer outputServer;
        QVERIFY(micServer.listen(QHostAddress::LocalHost) && outputServer.listen(QHostAddress::LocalHost));
        attach({});
        link().setAudioPorts(micServer.serverPort(), outputServer.serverPort());
        m_skype->send("incoming-call echo123 0.1 -");
        QTRY_COMPARE(events("audio mic of call 101 connected").size(), 1);
        QTRY_COMPARE(events("audio output of call 101 connected").size(), 1);
        QTRY_VERIFY(micServer.hasPendingConnections());

        micServer.nextPendingConnection()->abort();
        for (const QString& command :
             {captureMic("101", micServer.serverPort()), output("101", outputServer.serverPort())}) {
            QDBusMessage invoke =
                QDBusMessage::createMethodCall("com.Skype.API", "/com/Skype", "com.Skype.API", "Invoke");
            invoke << command;
            QCOMPARE(QDBusConnection::sessionBus().call(invoke).type(), QDBusMessage::ReplyMessage);
        }
        QTRY_COMPARE(events("audio mic of call 101 connected").size(), 2);
        QTRY_VERIFY(micServer.hasPendingConnections());
        QTRY_COMPARE(events("audio output of call 101 streams already").size(), 1);
        QVERIFY(events("audio mic of call 101 streams already").isEmpty());
    }

    // A call already running when the program attaches is found through its DURATION reports.
    void callRunningBeforeTheProgram()
    {
        startSkype({"--no-audio"});
        m_skype->send("running-call alice -");
        QTRY_VERIFY(!events("call 101 with alice running").isEmpty());
        startLink();

        QTRY_VERIFY(m_skype->commands().contains(output("101", 38376)));
        const QStringList commands = m_skype->commands();
        QCOMPARE(runFrom(commands, "get call 101 partner_handle", 4),
                 (QStringList{"get call 101 partner_handle", "get call 101 type", "get call 101 status",
                              "get call 101 conf_participants_count"}));
        QVERIFY(commands.indexOf(captureMic("101", 38377)) > commands.indexOf("get call 101 status"));
        QTRY_COMPARE(link().callTable().StatusAt(0), int(CallInProgress));
        QCOMPARE(link().callTable().PartnerOf("101"), QStringLiteral("alice"));
    }

    void chatWhileAwayGetsOneReply()
    {
        CGeneralProfile& settings = CGeneralProfile::Instance();
        settings.chatreply = true;
        settings.notonlinereply = true;
        settings.replytxt = QStringLiteral("Away from the desk.");
        attach({});
        m_skype->send("status AWAY");
        QTRY_COMPARE(link().ownStatusCode(), int(UserAway));

        m_skype->send("chat-from bob Hello?");
        m_skype->send("chat-from bob Are you there?");
        QTRY_VERIFY(m_received.contains("CHATMESSAGE 1002 CHATNAME #bob/$tallowin.tester;2a01"));
        QVERIFY(skypeHasCaughtUp());
        QCOMPARE(events("chat message to"),
                 QStringList{"chat message to #bob/$tallowin.tester;2a01: Away from the desk."});
        QCOMPARE(m_skype->commands().filter("chatmessage  "),
                 QStringList{"chatmessage  #bob/$tallowin.tester;2a01 Away from the desk."});

        // A new period: the chat is answered once more.
        m_skype->send("status DND");
        QTRY_COMPARE(link().ownStatusCode(), int(UserDoNotDisturb));
        m_skype->send("chat-from bob Hello again");
        QTRY_COMPARE(events("chat message to").size(), 2);
    }

    void historyActions()
    {
        attach({"--no-audio", "--ring", "0.1"});
        QVERIFY(link().OpenChatWith("bob"));
        QTRY_COMPARE(events("chat window of"), QStringList{"chat window of #bob/$tallowin.tester;2a01 opened"});

        QVERIFY(link().PlaceCall("carol"));
        QTRY_COMPARE(link().callTable().StatusAt(0), int(CallInProgress));
        QTRY_VERIFY(!link().IsIncomingCall());
        QCOMPARE(link().callTable().PartnerOf("101"), QStringLiteral("carol"));

        m_owner.clear();
        m_skype->send("window minimized");
        m_skype->send("window normal");
        QTRY_COMPARE(m_owner.count(WM_LINK_SKYPEWINDOW), 2);
        QList<WindowMessageRecorder::Message> windowEvents = m_owner.messages();
        windowEvents.removeIf([](const auto& m) { return std::get<0>(m) != WM_LINK_SKYPEWINDOW; });
        QCOMPARE(windowEvents, (QList<WindowMessageRecorder::Message>{{WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_HIDDEN, 0},
                                                                      {WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_NORMAL, 0}}));
    }
};

QTEST_GUILESS_MAIN(TestSkypeCallsDBus)
#include "tst_skypecalls_dbus.moc"
