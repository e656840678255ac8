#include "DeliveredCommands.h"
#include "ExpectedCommands.h"
#include "platform/WindowMessages.h"
#include "settings/CGeneralProfile.h"
#include "skype/InProcessSkypeTransport.h"
#include "skype/SkypeLink.h"
#include "skype/SkypeParser.h"
#include "skype/SkypeText.h"
#include "skype/StatusCodes.h"
#include "support/FakeClock.h"
#include "support/WindowMessageRecorder.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <thread>

using ExpectedCommands::captureMic;
using ExpectedCommands::firstAttach;
using ExpectedCommands::output;
using Message = WindowMessageRecorder::Message;
using Messages = QList<Message>;

namespace {
Message callEvent(int slot, int lParam)
{
    return {WM_LINK_CALL, slot, lParam};
}
} // namespace

// Skype's texts through the link (chat auto-reply, then parser) with Skype played by the test:
// which commands go out, in which order, which events reach the owner, and what the link's
// tables hold afterwards.
class TestSkypeParser : public QObject {
    Q_OBJECT

    WindowMessageRecorder* m_owner = nullptr;
    InProcessSkypeTransport* m_skype = nullptr;
    std::unique_ptr<DeliveredCommands> m_delivered;
    std::unique_ptr<FakeClock> m_clock;

    static SkypeLink& link() { return SkypeLink::LinkInstance(); }
    CallTable& table() { return link().callTable(); }

    // Skype says each text in turn.
    void say(const QStringList& texts)
    {
        for (const QString& text : texts)
            m_skype->send(text);
    }

    QStringList commands() { return m_delivered->newlyDelivered(); }

    Messages events()
    {
        QCoreApplication::processEvents();
        const Messages messages = m_owner->messages();
        m_owner->clear();
        return messages;
    }

    void attach()
    {
        m_skype->attach(SKYPE_ATTACH_SUCCESS);
        QCOMPARE(commands(), firstAttach);
    }

private slots:
    void init()
    {
        m_clock = std::make_unique<FakeClock>(1'700'000'000);
        m_owner = new WindowMessageRecorder;
        auto transport = std::make_unique<InProcessSkypeTransport>();
        m_skype = transport.get();
        m_delivered = std::make_unique<DeliveredCommands>(*m_skype);
        QVERIFY(SkypeLink::StartLink(m_owner, std::move(transport)));
        CGeneralProfile& settings = CGeneralProfile::Instance();
        settings.chatreply = true;
        settings.onlinereply = false;
        settings.notonlinereply = true;
        settings.replytxt = QStringLiteral("Back soon.");
    }

    void cleanup()
    {
        SkypeLink::ShutdownLink();
        m_delivered.reset();
        m_skype = nullptr;
        delete m_owner;
        m_owner = nullptr;
        CGeneralProfile::DestroyInstance();
        m_clock.reset();
    }

    void notifications_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<Messages>("posted");

        const QString partner12 = "get call 12 partner_handle";
        QTest::newRow("call in progress, any case")
            << QStringList{"CALL 12 STATUS inprogress"}
            << QStringList{captureMic("12"), output("12"), "get call 12 type", "get call 12 target_identity",
                           partner12,        partner12}
            << Messages{callEvent(0, 2)};
        QTest::newRow("keyword and property in any case")
            << QStringList{"call 12 Status InProgress"}
            << QStringList{captureMic("12"), output("12"), "get call 12 type", "get call 12 target_identity",
                           partner12,        partner12}
            << Messages{callEvent(0, 2)};
        QTest::newRow("status without a value") << QStringList{"call 12 status"} << QStringList{} << Messages{};
        QTest::newRow("ringing") << QStringList{"CALL 12 STATUS RINGING"} << QStringList{"get call 12 type", partner12}
                                 << Messages{callEvent(0, 2)};
        QTest::newRow("routing") << QStringList{"CALL 12 STATUS ROUTING"} << QStringList{"get call 12 type", partner12}
                                 << Messages{callEvent(0, 2)};
        QTest::newRow("early media") << QStringList{"CALL 12 STATUS EARLYMEDIA"} << QStringList{partner12}
                                     << Messages{callEvent(0, 2)};
        QTest::newRow("missed, not seen before")
            << QStringList{"CALL 12 STATUS MISSED"} << QStringList{} << Messages{callEvent(-1, 2)};
        QTest::newRow("unknown status word")
            << QStringList{"CALL 12 STATUS SPEAKING"} << QStringList{} << Messages{callEvent(-1, 2)};
        QTest::newRow("two blanks before the status")
            << QStringList{"CALL 12 STATUS  INPROGRESS"} << QStringList{} << Messages{callEvent(-1, 2)};
        QTest::newRow("ringing, then finished")
            << QStringList{"CALL 12 STATUS RINGING", "CALL 12 STATUS FINISHED"}
            << QStringList{"get call 12 type", partner12} << Messages{callEvent(0, 2), callEvent(0, 2)};
        QTest::newRow("partner") << QStringList{"CALL 12 PARTNER_HANDLE bob"}
                                 << QStringList{partner12, "get user bob fullname"} << Messages{callEvent(0, 1)};
        QTest::newRow("second call in the next slot")
            << QStringList{"CALL 12 STATUS RINGING", "CALL 13 STATUS ROUTING"}
            << QStringList{"get call 12 type", partner12, "get call 13 type", "get call 13 partner_handle"}
            << Messages{callEvent(0, 2), callEvent(1, 2)};
        QTest::newRow("dtmf of two keys") << QStringList{"CALL 7 DTMF 12"} << QStringList{} << Messages{};
        QTest::newRow("dtmf of an unknown call")
            << QStringList{"CALL 7 DTMF 5"} << QStringList{"get call 7 partner_handle"} << Messages{};
        QTest::newRow("duration while no call is known")
            << QStringList{"CALL 7 DURATION 15"}
            << QStringList{"get call 7 partner_handle", "get call 7 type", "get call 7 status",
                           "get call 7 conf_participants_count"}
            << Messages{};
        QTest::newRow("duration of a known call")
            << QStringList{"CALL 7 STATUS EARLYMEDIA", "CALL 7 DURATION 15"} << QStringList{"get call 7 partner_handle"}
            << Messages{callEvent(0, 2)};
        QTest::newRow("conference count while no call is known")
            << QStringList{"CALL 7 CONF_PARTICIPANTS_COUNT 3"} << QStringList{} << Messages{};
        QTest::newRow("conference of three")
            << QStringList{"CALL 7 STATUS EARLYMEDIA", "CALL 7 CONF_PARTICIPANTS_COUNT 3"}
            << QStringList{"get call 7 partner_handle", "get call 7 conf_participant 0",
                           "get call 7 conf_participant 1"}
            << Messages{callEvent(0, 2)};
        QTest::newRow("conference of one")
            << QStringList{"CALL 7 STATUS EARLYMEDIA", "CALL 7 CONF_PARTICIPANTS_COUNT 1"}
            << QStringList{"get call 7 partner_handle"} << Messages{callEvent(0, 2)};
        QTest::newRow("conference participant")
            << QStringList{"CALL 7 CONF_PARTICIPANT 1 bob"} << QStringList{} << Messages{};
        QTest::newRow("friend list") << QStringList{"USERS a, b, c"}
                                     << QStringList{"get user a fullname", "get user b fullname", "get user c fullname"}
                                     << Messages{};
        QTest::newRow("friend list of one")
            << QStringList{"USERS a"} << QStringList{"get user a fullname"} << Messages{};
        QTest::newRow("friend list with odd separators")
            << QStringList{"USERS a,  ,  b ,c"} << QStringList{"get user a fullname", "get user b ,c fullname"}
            << Messages{};
        QTest::newRow("friend list with empty pieces")
            << QStringList{"USERS a, , b"} << QStringList{"get user a fullname", "get user b fullname"} << Messages{};
        QTest::newRow("friend request") << QStringList{"USER dave BUDDYSTATUS 2"}
                                        << QStringList{"get user dave fullname"} << Messages{};
        QTest::newRow("new friend") << QStringList{"USER dave BUDDYSTATUS 3"} << QStringList{"get user dave fullname"}
                                    << Messages{};
        QTest::newRow("never a friend") << QStringList{"USER dave BUDDYSTATUS 0"} << QStringList{} << Messages{};
        QTest::newRow("chat message received") << QStringList{"CHATMESSAGE 55 STATUS RECEIVED"}
                                               << QStringList{"get chatmessage 55 chatname"} << Messages{};
        QTest::newRow("message received")
            << QStringList{"MESSAGE 55 STATUS RECEIVED"} << QStringList{"get chatmessage 55 chatname"} << Messages{};
        QTest::newRow("chat message status in another case")
            << QStringList{"CHATMESSAGE 55 STATUS received"} << QStringList{} << Messages{};
        QTest::newRow("chat message sent") << QStringList{"CHATMESSAGE 55 STATUS SENT"} << QStringList{} << Messages{};
        QTest::newRow("chat dialog in lower case")
            << QStringList{"CHAT c1 status dialog"} << QStringList{} << Messages{};
        QTest::newRow("connecting") << QStringList{"CONNSTATUS CONNECTING"} << QStringList{}
                                    << Messages{{WM_LINK_USERSTATUS, 0, 0}};
        QTest::newRow("away") << QStringList{"USERSTATUS away"} << QStringList{}
                              << Messages{{WM_LINK_USERSTATUS, UserAway, 0}};
        QTest::newRow("current user") << QStringList{"CURRENTUSERHANDLE alice"} << QStringList{}
                                      << Messages{{WM_LINK_USERHANDLE, 0, 0}};
        QTest::newRow("Skype minimised") << QStringList{"WINDOWSTATE minimized"} << QStringList{}
                                         << Messages{{WM_LINK_SKYPEWINDOW, 20, 0}};
        QTest::newRow("Skype hidden") << QStringList{"WINDOWSTATE HIDDEN"} << QStringList{}
                                      << Messages{{WM_LINK_SKYPEWINDOW, 20, 0}};
        QTest::newRow("Skype normal") << QStringList{"WINDOWSTATE NORMAL"} << QStringList{}
                                      << Messages{{WM_LINK_SKYPEWINDOW, 21, 0}};
        QTest::newRow("Skype maximised") << QStringList{"WINDOWSTATE MAXIMIZED"} << QStringList{} << Messages{};
        QTest::newRow("one word") << QStringList{"OK", "PONG ", "  users  "} << QStringList{} << Messages{};
        QTest::newRow("errors and versions")
            << QStringList{"ERROR 68", "SKYPEVERSION 2.0.0.72"} << QStringList{} << Messages{};
        QTest::newRow("answers to the program's own commands")
            << QStringList{"ALTER CALL 12 SET_CAPTURE_MIC", "OPEN CHAT #a/$b;1", "CALL 12 TARGET_IDENTITY x"}
            << QStringList{} << Messages{};
    }

    void notifications()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, expected);
        QFETCH(Messages, posted);
        attach();
        say(texts);
        QCOMPARE(commands(), expected);
        QCOMPARE(events(), posted);
    }

    void friendListOnlyAfterTheRequest()
    {
        say({"USERS a, b, c"}); // not attached: the friend list was not asked for
        QCOMPARE(link().contactDirectory().size(), 0);

        attach();
        say({"USERS a, b, c"});
        QCOMPARE(commands(), (QStringList{"get user a fullname", "get user b fullname", "get user c fullname"}));
        QCOMPARE(link().contactDirectory().DisplayNamesFor("a,b,c,d"), QStringLiteral("a | b | c | d"));
        QCOMPARE(link().contactDirectory().size(), 3);
    }

    void fullNames()
    {
        attach();
        say({"CURRENTUSERHANDLE alice", "USER alice FULLNAME Alice Archer", "USER bob FULLNAME",
             "USER carol fullname  Carol  Cooper ", "USER dave FULLNAME Dave", "USER dave BUDDYSTATUS 1",
             "USER erin ONLINESTATUS ONLINE"});
        ContactDirectory& contacts = link().contactDirectory();
        QCOMPARE(link().CurrentUserHandle(), QStringLiteral("alice"));
        QCOMPARE(contacts.FullNameOf("alice"), QString());
        QCOMPARE(contacts.FullNameOf("bob"), QStringLiteral("bob"));
        QCOMPARE(contacts.FullNameOf("carol"), QStringLiteral("Carol  Cooper"));
        QCOMPARE(contacts.FullNameOf("dave"), QString());
        QCOMPARE(contacts.size(), 2);
        QCOMPARE(commands(), QStringList{});
    }

    // The name of a call partner is asked for and kept, so the history can show it.
    void callPartnerNamesAreKept()
    {
        attach();
        say({"CALL 12 STATUS RINGING", "CALL 12 PARTNER_HANDLE echo123", "USER echo123 FULLNAME Echo Test"});
        QCOMPARE(commands(),
                 (QStringList{"get call 12 type", "get call 12 partner_handle", "get user echo123 fullname"}));
        QCOMPARE(table().PartnerOf("12"), QStringLiteral("echo123"));
        QCOMPARE(link().callPartnerMap().PartnerForCall("12"), QStringLiteral("echo123"));
        QCOMPARE(link().contactDirectory().DisplayNamesFor("echo123"), QStringLiteral("Echo Test"));
        QCOMPARE(events(), (Messages{callEvent(0, 2), callEvent(0, 1)}));
    }

    void ownStatus()
    {
        attach();
        QVERIFY(link().isApiReady());
        say({"USERSTATUS DND"});
        QCOMPARE(link().ownStatusCode(), int(UserDoNotDisturb));
        QCOMPARE(link().chatAutoReply().ownStatusCode(), int(UserDoNotDisturb));

        say({"USERSTATUS LOGGEDOUT"});
        QCOMPARE(link().ownStatusCode(), int(UserLoggedOut));
        QVERIFY(link().isApiReady()); // only the connection status says Skype's user left

        say({"CONNSTATUS LOGGEDOUT"});
        QVERIFY(!link().isApiReady());
        QCOMPARE(link().chatAutoReply().ownStatusCode(), int(UserLoggedOut));
    }

    void callType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("incoming");
        QTest::newRow("outgoing") << "OUTGOING_P2P" << false;
        QTest::newRow("incoming phone") << "INCOMING_PSTN" << true;
        QTest::newRow("incoming, lower case") << "incoming_p2p" << true;
        QTest::newRow("outgoing phone") << "OUTGOING_PSTN" << false;
        QTest::newRow("unknown") << "INCOMING_SOMETHING" << false;
    }

    void callType()
    {
        QFETCH(QString, type);
        QFETCH(bool, incoming);
        link().setIncomingCall(!incoming);
        say({"CALL 7 TYPE " + type});
        QCOMPARE(link().IsIncomingCall(), incoming);
    }

    void chatDialog_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chatName");
        QTest::newRow("dialog") << "CHAT #bob/$alice;1 STATUS DIALOG"
                                << "#bob/$alice;1";
        QTest::newRow("legacy dialog") << "chat #bob/$alice;2 STATUS LEGACY_DIALOG"
                                       << "#bob/$alice;2";
        QTest::newRow("lower case") << "CHAT c1 status dialog"
                                    << "";
        QTest::newRow("more words") << "CHAT c1 STATUS DIALOG NOW"
                                    << "";
        QTest::newRow("another status") << "CHAT c1 STATUS MULTI_SUBSCRIBED"
                                        << "";
    }

    void chatDialog()
    {
        QFETCH(QString, text);
        QFETCH(QString, chatName);
        say({text});
        QCOMPARE(link().chatName(), chatName);
        QCOMPARE(link().chatCreated().isSet(), !chatName.isEmpty());
    }

    void audioRedirection()
    {
        attach();
        say({"CALL 112 STATUS INPROGRESS", "CALL 12 STATUS INPROGRESS", "CALL 112 STATUS INPROGRESS"});
        QCOMPARE(link().RedirectedCalls(), QStringLiteral("112 12 "));
        commands();

        link().setAudioPorts(40001, 40002);
        say({"CALL 13 STATUS INPROGRESS"});
        QCOMPARE(commands().mid(0, 2), (QStringList{captureMic("13", 40001), output("13", 40002)}));
    }

    void reissueAudioRedirect_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no call") << QStringList{} << QStringList{};
        QTest::newRow("held calls only") << QStringList{"CALL 12 STATUS INPROGRESS", "CALL 12 STATUS ONHOLD",
                                                        "CALL 13 STATUS LOCALHOLD"}
                                         << QStringList{};
        QTest::newRow("one in progress, one ended")
            << QStringList{"CALL 12 STATUS INPROGRESS", "CALL 12 STATUS FINISHED", "CALL 13 STATUS INPROGRESS"}
            << QStringList{captureMic("12"), output("12"), captureMic("13"), output("13")};
        QTest::newRow("in progress but never redirected")
            << QStringList{"CALL 12 STATUS RINGING", "CALL 12 STATUS INPROGRESS"}
            << QStringList{captureMic("12"), output("12")};
    }

    void reissueAudioRedirect()
    {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, expected);
        attach();
        say(texts);
        commands();
        const QString listed = link().RedirectedCalls();

        // As an audio receiving thread does when a connection closes.
        std::thread audio([] { SkypeLink::ReissueAudioRedirect(); });
        audio.join();
        QCOMPARE(commands(), expected);
        QCOMPARE(link().RedirectedCalls(), listed);
    }

    void reissueWithoutLinkDoesNothing()
    {
        SkypeLink::ShutdownLink();
        std::thread audio([] { SkypeLink::ReissueAudioRedirect(); });
        audio.join();
        QVERIFY(!SkypeLink::HasInstance());
    }

    void resetCallState()
    {
        attach();
        say({"CALL 12 STATUS INPROGRESS", "CALL 12 PARTNER_HANDLE bob", "CALL 12 TYPE INCOMING_P2P",
             "CALL 12 STATUS FINISHED"});
        QVERIFY(link().IsIncomingCall());
        link().ResetCallState();
        QCOMPARE(table().KnownCallCount(), 0);
        QCOMPARE(table().CallIdAt(0), QString());
        QCOMPARE(link().RedirectedCalls(), QString());
        QVERIFY(!link().IsIncomingCall());
        // The partners of the run are kept for the history.
        QCOMPARE(link().callPartnerMap().PartnersForCalls("12"), QStringLiteral("bob"));
        commands();

        SkypeLink::ReissueAudioRedirect();
        QCOMPARE(commands(), QStringList{});
    }

    void callTableFillsUp()
    {
        attach();
        for (int call = 0; call < CallTable::SlotCount + 1; ++call)
            say({"CALL " + QString::number(100 + call) + " STATUS RINGING"});
        const Messages posted = events();
        QCOMPARE(posted.size(), CallTable::SlotCount + 1);
        QCOMPARE(posted.last(), callEvent(-1, 2));
        QCOMPARE(posted[CallTable::SlotCount - 1], callEvent(CallTable::SlotCount - 1, 2));
        const QStringList sent = commands();
        QCOMPARE(sent.size(), 2 * CallTable::SlotCount + 1); // the last call: its type query only
        QCOMPARE(sent.last(), QStringLiteral("get call 120 type"));
    }

    void callsAreStampedWithTheClock()
    {
        say({"CALL 12 STATUS RINGING"});
        m_clock->advance(5);
        say({"CALL 13 STATUS INPROGRESS", "CALL 12 STATUS INPROGRESS"});
        QCOMPARE(table().FirstSeenAt(0), 1'700'000'000);
        QCOMPARE(table().FirstSeenAt(1), 1'700'000'005);
        QCOMPARE(table().EarliestActiveCall().callId, QStringLiteral("12"));
    }

    void commandTexts()
    {
        attach();
        QVERIFY(link().PlaceCall("bob,carol"));
        QVERIFY(link().SendChatMessage("c1", "hi"));
        link().QueryFullName("   ");
        link().QueryFullName(" bob\t");
        QCOMPARE(commands(), (QStringList{"call bob,carol", "chatmessage  c1 hi", "get user bob fullname"}));
    }

    void openChatWith()
    {
        attach();
        bool second = true;
        QTimer::singleShot(20, this, [&] {
            second = link().OpenChatWith("carol"); // pressed again while the first waits
            m_skype->send("CHAT #alice/$bob;9 STATUS DIALOG");
        });
        QVERIFY(link().OpenChatWith("bob,carol"));
        QVERIFY(!second);
        QCOMPARE(commands(), (QStringList{"chat create bob,carol", "open chat #alice/$bob;9"}));
        QVERIFY(!link().chatCreated().isSet());

        // Free for the next one.
        QTimer::singleShot(20, this, [&] { m_skype->send("CHAT #alice/$dave;1 STATUS LEGACY_DIALOG"); });
        QVERIFY(link().OpenChatWith("dave"));
        QCOMPARE(commands(), (QStringList{"chat create dave", "open chat #alice/$dave;1"}));
    }

    // Ending the program during the wait does not keep it for the rest of the wait.
    void openChatWithEndsWithTheProgram_data()
    {
        QTest::addColumn<bool>("shutdown");
        QTest::newRow("program ending") << false;
        QTest::newRow("link shut down") << true;
    }

    void openChatWithEndsWithTheProgram()
    {
        QFETCH(bool, shutdown);
        attach();
        QTimer::singleShot(50, this, [&] {
            if (shutdown)
                SkypeLink::ShutdownLink();
            else
                link().EndWaits();
        });
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!link().OpenChatWith("bob"));
        QVERIFY(waited.elapsed() < 5000);
        if (shutdown)
            return;
        QCOMPARE(commands(), QStringList{"chat create bob"});
        QVERIFY(!link().OpenChatWith("bob")); // no new wait begins
        QCOMPARE(commands(), QStringList{});
    }

    // The chat auto-reply sees Skype's CHATNAME answer before the parser does.
    void chatMessageWhileAwayIsAnswered()
    {
        attach();
        say({"USERSTATUS AWAY", "CHATMESSAGE 31 STATUS RECEIVED"});
        QCOMPARE(commands(), QStringList{"get chatmessage 31 chatname"});
        say({"CHATMESSAGE 31 CHATNAME #bob/$alice;1", "CHATMESSAGE 32 STATUS RECEIVED",
             "CHATMESSAGE 32 CHATNAME #bob/$alice;1"});
        QCOMPARE(commands(), (QStringList{"chatmessage  #bob/$alice;1 Back soon.", "get chatmessage 32 chatname"}));
    }

    // Skype's texts are not trusted: what no Skype client sends changes nothing.
    void hostileTexts_data()
    {
        QTest::addColumn<QString>("text");
        const QString longName(SkypeText::MaxNameLength + 1, QLatin1Char('x'));
        QTest::newRow("over-long call id") << "CALL " + longName + " STATUS INPROGRESS";
        QTest::newRow("over-long partner") << "CALL 12 PARTNER_HANDLE " + longName;
        QTest::newRow("over-long handle") << "CURRENTUSERHANDLE " + longName;
        QTest::newRow("over-long full name") << "USER bob FULLNAME " + longName;
        QTest::newRow("over-long chat") << "CHAT " + longName + " STATUS DIALOG";
        QTest::newRow("over-long message id") << "CHATMESSAGE " + longName + " STATUS RECEIVED";
        QTest::newRow("over-long friend") << "USERS " + longName;
        QTest::newRow("huge text") << "USERS " + QString(SkypeText::MaxTextLength, QLatin1Char('a'));
        QTest::newRow("control characters") << QStringLiteral("CALL\t12\nSTATUS\rINPROGRESS");
        QTest::newRow("text ends at a zero character") << QStringLiteral("CALL 12") + QChar(0) + " STATUS INPROGRESS";
        QTest::newRow("huge count") << "CALL 12 CONF_PARTICIPANTS_COUNT 99999999999999999999999";
        QTest::newRow("negative buddy status") << "USER bob BUDDYSTATUS -3";
        QTest::newRow("only blanks") << QString(1000, QLatin1Char(' '));
        QTest::newRow("blanks around nothing") << "CALL   ";
    }

    void hostileTexts()
    {
        QFETCH(QString, text);
        attach();
        say({text});
        QCOMPARE(commands(), QStringList{});
        QCOMPARE(events(), Messages{});
        QCOMPARE(table().CallIdAt(0), QString());
        QCOMPARE(link().contactDirectory().size(), 0);
        QCOMPARE(link().CurrentUserHandle(), QString());
        QCOMPARE(link().chatName(), QString());
        QCOMPARE(link().RedirectedCalls(), QString());
    }

    void friendListIsCapped()
    {
        attach();
        QStringList handles;
        for (int i = 0; i < SkypeParser::MaxFriendsPerText + 10; ++i)
            handles.append("f" + QString::number(i));
        say({"USERS " + handles.join(", ")});
        QCOMPARE(link().contactDirectory().size(), SkypeParser::MaxFriendsPerText);
        link().ClearQueue();
    }

    void redirectedCallsAreCapped()
    {
        attach();
        for (int call = 0; call < SkypeLink::MaxRedirectedCalls + 5; ++call)
            link().RedirectAudio(QString::number(call));
        QCOMPARE(link().RedirectedCalls().count(QLatin1Char(' ')), SkypeLink::MaxRedirectedCalls);
        link().ClearQueue();
    }
};

QTEST_GUILESS_MAIN(TestSkypeParser)
#include "tst_skypeparser.moc"
