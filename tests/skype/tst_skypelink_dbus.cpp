#include "ExpectedCommands.h"
#include "platform/WindowMessages.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeLink.h"
#include "support/StandInProcess.h"
#include "support/WindowMessageRecorder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

using ExpectedCommands::name;

namespace {
// The first-attach queries, and the full names of the friends in the answer to "search friends".
const QStringList firstAttach =
    QStringList{name} + ExpectedCommands::firstAttach +
    QStringList{"get user alice fullname", "get user bob fullname", "get user carol fullname"};
const QStringList firstAnswers = {"CURRENTUSERHANDLE tallowin.tester",
                                  "CONNSTATUS ONLINE",
                                  "USERSTATUS ONLINE",
                                  "USERS alice, bob, carol",
                                  "USER alice FULLNAME Alice Archer",
                                  "USER bob FULLNAME Bob Baker",
                                  "USER carol FULLNAME Carol Cooper"};
} // namespace

// The link with its session-bus transport against the stand-in Skype client, a separate process
// on the same private session bus.
class TestSkypeLinkDBus : public QObject {
    Q_OBJECT

    WindowMessageRecorder m_owner;
    QStringList m_received;
    std::unique_ptr<StandInProcess> m_skype;

    static SkypeLink& link() { return SkypeLink::LinkInstance(); }

    bool startSkype(const QStringList& arguments = {})
    {
        m_skype = std::make_unique<StandInProcess>(TSR_SKYPE_STANDIN, arguments);
        return m_skype->waitUntilReady();
    }

    bool startLink()
    {
        if (!SkypeLink::StartLink(&m_owner, std::make_unique<DBusSkypeTransport>()))
            return false;
        connect(&link(), &SkypeLink::textReceived, this, [this](const QString& text) { m_received.append(text); });
        return true;
    }

    // The commands the stand-in received after the first `skip` ones.
    QStringList commandsAfter(qsizetype skip) { return m_skype->commands().mid(skip); }

private slots:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    void cleanup()
    {
        SkypeLink::ShutdownLink();
        m_skype.reset();
        m_received.clear();
        m_owner.clear();
    }

    void attachSendsTheFirstQueriesAndTakesTheAnswers()
    {
        QVERIFY(startSkype());
        QVERIFY(startLink());

        QTRY_COMPARE(m_skype->commands(), firstAttach);
        QTRY_COMPARE(m_received, firstAnswers);

        link().onKeepAliveTick();
        QVERIFY(!link().isAlive());
        QTRY_COMPARE(commandsAfter(firstAttach.size()), QStringList{"ping"});
        QTRY_VERIFY(link().isAlive()); // the PONG answer counted
        QCOMPARE(m_received, firstAnswers);
    }

    void refusalReachesTheOwner()
    {
        QVERIFY(startSkype({"--access", "refuse"}));
        QVERIFY(startLink());

        QTRY_COMPARE(m_owner.messages(), (QList<WindowMessageRecorder::Message>{{WM_LINK_REFUSED, 0, 0}}));
        QCOMPARE(m_skype->commands(), QStringList{name});
        QVERIFY(!link().isApiReady());

        // Skype's user allows the program and Skype offers its API anew.
        m_skype->send("access accept");
        m_skype->send("release");
        m_skype->send("acquire");
        QTRY_COMPARE(commandsAfter(1), firstAttach);
        QCOMPARE(m_owner.count(WM_LINK_REFUSED), 1);
    }

    void skypeComesBack_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("bus name released and taken again") << false;
        QTest::newRow("client ended and started again") << true;
    }

    void skypeComesBack()
    {
        QFETCH(bool, restart);
        QVERIFY(startSkype());
        QVERIFY(startLink());
        QTRY_COMPARE(m_skype->commands(), firstAttach);

        if (restart) {
            m_skype->kill();
            QTRY_VERIFY(!link().isApiReady());
            QVERIFY(startSkype());
            QTRY_COMPARE(m_skype->commands(), firstAttach);
        } else {
            m_skype->send("release");
            QTRY_VERIFY(!link().isApiReady());
            m_skype->send("acquire");
            QTRY_COMPARE(commandsAfter(firstAttach.size()), firstAttach);
        }
        QVERIFY(link().isApiReady());
        QVERIFY(link().isKeepAliveRunning());
    }

    void attachWaitsUntilAUserLogsIn()
    {
        QVERIFY(startSkype({"--logged-out"}));
        QVERIFY(startLink());
        QTRY_COMPARE(m_skype->lines("reply"), QStringList{"CONNSTATUS OFFLINE"});
        QVERIFY(!link().isApiReady());

        m_skype->send("login");
        QTRY_COMPARE(commandsAfter(1), firstAttach);
        QCOMPARE(m_owner.count(WM_LINK_REFUSED), 0);
    }

    void skypeAppearingLaterIsFound()
    {
        QVERIFY(startSkype({"--no-name"}));
        QVERIFY(startLink());
        QTest::qWait(100); // the discover goes nowhere
        QCOMPARE(m_skype->commands(), QStringList{});

        m_skype->send("acquire");
        QTRY_COMPARE(m_skype->commands(), firstAttach);
    }

    void onlyTheAttachedSkypeIsHeard()
    {
        QVERIFY(startSkype());
        QVERIFY(startLink());
        QTRY_COMPARE(m_received, firstAnswers);

        m_skype->send("notify CALL 17 STATUS FINISHED");
        QTRY_COMPARE(m_received.size(), firstAnswers.size() + 1);
        QCOMPARE(m_received.last(), "CALL 17 STATUS FINISHED");

        // Another client on the bus calls the program's Notify: ignored.
        QDBusConnection stranger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stranger");
        QDBusMessage notify = QDBusMessage::createMethodCall(QDBusConnection::sessionBus().baseService(),
                                                             "/com/Skype/Client", "com.Skype.API.Client", "Notify");
        notify << QStringLiteral("CALL 18 STATUS INPROGRESS");
        QDBusPendingCall call = stranger.asyncCall(notify);
        QTRY_VERIFY(call.isFinished());
        QVERIFY(!call.isError());
        QCoreApplication::processEvents();
        QCOMPARE(m_received.size(), firstAnswers.size() + 1);
        QDBusConnection::disconnectFromBus("stranger");
    }
};

QTEST_GUILESS_MAIN(TestSkypeLinkDBus)
#include "tst_skypelink_dbus.moc"
