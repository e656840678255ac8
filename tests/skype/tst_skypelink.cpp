#include "DeliveredCommands.h"
#include "ExpectedCommands.h"
#include "platform/WindowMessages.h"
#include "skype/InProcessSkypeTransport.h"
#include "skype/SkypeLink.h"
#include "support/WindowMessageRecorder.h"

#include <QStringDecoder>
#include <QTest>

using ExpectedCommands::firstAttach;

// The link against a Skype played by the test through the in-process transport. Timer-driven
// steps are driven by calling onKeepAliveTick() directly: each call is one 30 s period.
class TestSkypeLink : public QObject {
    Q_OBJECT

    WindowMessageRecorder* m_owner = nullptr;
    InProcessSkypeTransport* m_skype = nullptr;
    QStringList m_received;
    std::unique_ptr<DeliveredCommands> m_delivered;

    static SkypeLink& link() { return SkypeLink::LinkInstance(); }

    bool start(std::unique_ptr<InProcessSkypeTransport> transport = std::make_unique<InProcessSkypeTransport>())
    {
        m_skype = transport.get();
        m_delivered = std::make_unique<DeliveredCommands>(*m_skype);
        if (!SkypeLink::StartLink(m_owner, std::move(transport)))
            return false;
        connect(&link(), &SkypeLink::textReceived, this, [this](const QString& text) { m_received.append(text); });
        return true;
    }

    QStringList newlyDelivered() { return m_delivered->newlyDelivered(); }

    void tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            link().onKeepAliveTick();
    }

    // Plays Skype's part: "ok" (attach success), "refuse", "available" (API available),
    // "gone" (Skype's window went away), "pong", "tick" (30 s pass).
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("ok"))
                m_skype->attach(SKYPE_ATTACH_SUCCESS);
            else if (step == QLatin1String("refuse"))
                m_skype->attach(SKYPE_ATTACH_REFUSED);
            else if (step == QLatin1String("available"))
                m_skype->attach(SKYPE_ATTACH_API_AVAILABLE);
            else if (step == QLatin1String("gone"))
                m_skype->loseApiWindow();
            else if (step == QLatin1String("pong"))
                m_skype->send(QStringLiteral("pong"));
            else if (step == QLatin1String("tick"))
                tick();
            else
                QFAIL(qPrintable("unknown step " + step));
        }
    }

private slots:
    void init()
    {
        m_owner = new WindowMessageRecorder;
        m_received.clear();
        QVERIFY(start());
    }

    void cleanup()
    {
        SkypeLink::ShutdownLink();
        m_skype = nullptr;
        m_delivered.reset();
        delete m_owner;
        m_owner = nullptr;
    }

    void firstAttachSendsTheFourQueriesAndDropsEarlierCommands()
    {
        QVERIFY(!link().PushCommand("get call 5 status"));
        QVERIFY(!link().isApiReady());
        QVERIFY(!link().friendsRequested());
        QCOMPARE(m_skype->discoverCount(), 1);

        m_skype->attach(SKYPE_ATTACH_SUCCESS);
        QVERIFY(link().isApiReady());
        QVERIFY(link().isQueueOpen());
        QVERIFY(link().isKeepAliveRunning());
        QVERIFY(link().friendsRequested());
        QCOMPARE(newlyDelivered(), firstAttach);
    }

    void waitingStatusesChangeNothing()
    {
        play("");
        m_skype->attach(SKYPE_ATTACH_PENDING_AUTHORIZATION);
        m_skype->attach(SKYPE_ATTACH_NOT_AVAILABLE);
        QVERIFY(!link().isQueueOpen());
        QCOMPARE(m_skype->discoverCount(), 1);

        m_skype->attach(SKYPE_ATTACH_API_AVAILABLE);
        QCOMPARE(m_skype->discoverCount(), 2); // not attached yet: ask again

        play("ok available");
        QCOMPARE(m_skype->discoverCount(), 2); // attached: the announcement is ignored
        QCOMPARE(newlyDelivered(), firstAttach);
    }

    void textsFromSkype_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("countsAsPong");
        QTest::addColumn<bool>("handedOn");

        QTest::newRow("pong") << "pong" << true << false;
        QTest::newRow("PONG") << "PONG" << true << false;
        QTest::newRow("Pong") << "Pong" << true << false;
        QTest::newRow("blank before pong") << " pong" << false << true;
        QTest::newRow("notification") << "CALL 17 STATUS FINISHED" << false << true;
        QTest::newRow("notification with trailing blank") << "USERSTATUS ONLINE " << false << true;
        QTest::newRow("empty") << "" << false << false;
    }

    void textsFromSkype()
    {
        QFETCH(QString, text);
        QFETCH(bool, countsAsPong);
        QFETCH(bool, handedOn);

        play("ok tick"); // "ping" sent, waiting for its answer
        QCOMPARE(newlyDelivered(), firstAttach + QStringList{"ping"});

        m_skype->send(text);
        QCOMPARE(m_received, handedOn ? QStringList{text} : QStringList{});

        tick();
        if (countsAsPong) {
            QCOMPARE(newlyDelivered(), QStringList{"ping"});
            QCOMPARE(m_skype->discoverCount(), 1);
        } else {
            QCOMPARE(newlyDelivered(), QStringList{});
            QCOMPARE(m_skype->discoverCount(), 2);
        }
    }

    void silentSkypeIsLostAtTheFifthTick()
    {
        play("ok");
        QCOMPARE(newlyDelivered(), firstAttach);

        tick(); // 30 s
        QCOMPARE(newlyDelivered(), QStringList{"ping"});
        QCOMPARE(m_skype->discoverCount(), 1);

        for (int discovers = 2; discovers <= 4; ++discovers) { // 60, 90, 120 s
            tick();
            QCOMPARE(m_skype->discoverCount(), discovers);
            QCOMPARE(link().missCount(), discovers - 1);
            QVERIFY(link().isQueueOpen());
            QVERIFY(link().isApiReady());
        }
        QCOMPARE(newlyDelivered(), QStringList{});

        tick(); // 150 s
        QVERIFY(!link().isQueueOpen());
        QVERIFY(!link().isApiReady());
        QVERIFY(!link().isKeepAliveRunning());
        QCOMPARE(m_skype->discoverCount(), 4);
        QVERIFY(!link().PushCommand("ping"));
        QCOMPARE(m_owner->messages().size(), 0); // the owner is not told
    }

    void anAnswerBeforeTheFifthTickKeepsTheLink_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("pong at 45 s") << "ok tick pong";
        QTest::newRow("pong at 130 s") << "ok tick tick tick tick pong";
        QTest::newRow("attach at 70 s") << "ok tick tick ok";
        QTest::newRow("attach at 130 s") << "ok tick tick tick tick ok";
    }

    void anAnswerBeforeTheFifthTickKeepsTheLink()
    {
        QFETCH(QString, steps);
        play(steps);
        newlyDelivered();

        tick();
        QCOMPARE(newlyDelivered(), QStringList{"ping"});
        QCOMPARE(link().missCount(), 0);
        QVERIFY(link().isKeepAliveRunning());
        QVERIFY(link().isApiReady());
    }

    void attachAgain_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("firstAttachCommandsAgain");

        // Steps between the first attach and the next one.
        QTest::newRow("during re-discovery") << "tick tick" << false;
        QTest::newRow("after lost") << "tick tick tick tick tick available" << true;
        QTest::newRow("after refusal") << "refuse" << true;
        QTest::newRow("after refusal during re-discovery") << "tick tick refuse" << true;
        QTest::newRow("after Skype's window went away") << "gone available" << true;
    }

    void attachAgain()
    {
        QFETCH(QString, steps);
        QFETCH(bool, firstAttachCommandsAgain);

        play("ok");
        newlyDelivered();
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            play(step);
            newlyDelivered(); // let the sender deliver what the step queued
        }
        play("ok");

        QCOMPARE(newlyDelivered(), firstAttachCommandsAgain ? firstAttach : QStringList{});
        QVERIFY(link().isApiReady());
        QVERIFY(link().isKeepAliveRunning());
        tick();
        QCOMPARE(newlyDelivered(), QStringList{"ping"});
    }

    void lostWhenSkypeWindowGoes()
    {
        play("ok gone");
        QVERIFY(!link().isApiReady());
        QVERIFY(!link().isQueueOpen());
        QVERIFY(!link().isKeepAliveRunning());

        m_skype->attach(SKYPE_ATTACH_API_AVAILABLE);
        QCOMPARE(m_skype->discoverCount(), 2);
    }

    void refusalReachesTheOwnerOnce_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("while discovering") << "refuse";
        QTest::newRow("while attached") << "ok refuse";
        QTest::newRow("during re-discovery") << "ok tick tick refuse";
    }

    void refusalReachesTheOwnerOnce()
    {
        QFETCH(QString, steps);
        play(steps);
        const int discovers = m_skype->discoverCount();

        QTRY_COMPARE(m_owner->messages(), (QList<WindowMessageRecorder::Message>{{WM_LINK_REFUSED, 0, 0}}));
        QVERIFY(!link().isApiReady());
        QVERIFY(!link().isQueueOpen());
        QVERIFY(!link().PushCommand("ping"));
        QVERIFY(!link().isKeepAliveRunning());

        // Refused, the link does not keep asking: a refusal is shown once.
        tick(5);
        QCOMPARE(m_skype->discoverCount(), discovers);
        QCoreApplication::processEvents();
        QCOMPARE(m_owner->count(WM_LINK_REFUSED), 1);

        m_skype->attach(SKYPE_ATTACH_API_AVAILABLE);
        QCOMPARE(m_skype->discoverCount(), discovers + 1);
    }

    void emptyTextsAreNeverSent_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("queued");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("only a zero character") << QString(QChar(0)) << true;
        QTest::newRow("zero character first") << QString(QChar(0)) + "ping" << true;
    }

    void emptyTextsAreNeverSent()
    {
        QFETCH(QString, text);
        QFETCH(bool, queued);
        play("ok");
        newlyDelivered();
        const int attempts = m_skype->deliveryAttempts();

        QCOMPARE(link().PushCommand(text), queued);
        QCOMPARE(newlyDelivered(), QStringList{});
        QCOMPARE(m_skype->deliveryAttempts(), attempts + 1); // the marker only
    }

    void textIsCutAtItsFirstZeroCharacter()
    {
        play("ok");
        newlyDelivered();
        link().PushCommand(QStringLiteral("ping") + QChar(0) + QStringLiteral("garbage"));
        QCOMPARE(newlyDelivered(), QStringList{"ping"});
    }

    void commandSizeLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sent");

        const QString euro = QStringLiteral("\u20AC");             // 3 bytes in UTF-8
        const QString smile = QString::fromUcs4(U"\U0001F600", 1); // 4 bytes in UTF-8
        QTest::newRow("1023 bytes") << QString(1023, 'a') << true;
        QTest::newRow("1024 bytes") << QString(1024, 'a') << false;
        QTest::newRow("two-byte character ends at 1023") << QString(1021, 'a') + QChar(0xE9) << true;
        QTest::newRow("two-byte character reaches 1024") << QString(1022, 'a') + QChar(0xE9) << false;
        QTest::newRow("three-byte character reaches 1024") << QString(1021, 'a') + euro << false;
        QTest::newRow("four-byte character ends at 1023") << QString(1019, 'a') + smile << true;
        QTest::newRow("four-byte character reaches 1024") << QString(1020, 'a') + smile << false;
        QTest::newRow("600 characters, 1200 bytes") << QString(600, QChar(0xE9)) << false;
        QTest::newRow("lone surrogate") << QStringLiteral("chatmessage  c1 ") + QChar(0xD800) << true;
    }

    void commandSizeLimit()
    {
        QFETCH(QString, text);
        QFETCH(bool, sent);
        play("ok");
        newlyDelivered();

        QVERIFY(link().PushCommand(text));
        link().PushCommand("ping");
        const QStringList delivered = newlyDelivered();
        QCOMPARE(delivered.size(), sent ? 2 : 1);
        QCOMPARE(delivered.last(), "ping"); // a refused text does not hold up the ones behind it

        const QByteArrayList bytes = m_skype->delivered();
        for (const QByteArray& utf8 : bytes) {
            QVERIFY(utf8.size() < SkypeLink::MaxCommandBytes);
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            static_cast<void>(decoder(utf8));
            QVERIFY2(!decoder.hasError(), "invalid UTF-8 sent");
        }
        if (sent)
            QVERIFY(bytes.contains(text.toUtf8()));
    }

    // A chat message too long for one command goes out cut between two characters, as much of it
    // as fits. The command "chatmessage  c1 " takes 16 bytes, the terminator 1: 1007 are left.
    void longChatMessageIsCut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sentText");

        const QString zhe = QStringLiteral("\u0416");              // 2 bytes in UTF-8
        const QString han = QStringLiteral("\u4E2D");              // 3 bytes
        const QString smile = QString::fromUcs4(U"\U0001F600", 1); // 4 bytes, a surrogate pair
        QTest::newRow("512 ASCII") << QString(512, 'a') << QString(512, 'a');
        QTest::newRow("512 Cyrillic") << zhe.repeated(512) << zhe.repeated(503);
        QTest::newRow("400 CJK") << han.repeated(400) << han.repeated(335);
        QTest::newRow("emoji ends at the limit") << QString(1003, 'a') + smile << QString(1003, 'a') + smile;
        QTest::newRow("emoji across the limit") << QString(1005, 'a') + smile + "b" << QString(1005, 'a');
        QTest::newRow("emoji after the limit") << QString(1007, 'a') + smile << QString(1007, 'a');
        QTest::newRow("emojis only") << smile.repeated(300) << smile.repeated(251);
    }

    void longChatMessageIsCut()
    {
        QFETCH(QString, text);
        QFETCH(QString, sentText);
        play("ok");
        newlyDelivered();

        link().SendChatMessage("c1", text);
        QCOMPARE(newlyDelivered(), QStringList{"chatmessage  c1 " + sentText});

        const QByteArrayList bytes = m_skype->delivered();
        const auto sent = std::find_if(bytes.cbegin(), bytes.cend(),
                                       [](const QByteArray& utf8) { return utf8.startsWith("chatmessage  c1 "); });
        QVERIFY(sent != bytes.cend());
        const QByteArray& utf8 = *sent;
        QVERIFY(utf8.size() + 1 <= SkypeLink::MaxCommandBytes);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        static_cast<void>(decoder(utf8));
        QVERIFY2(!decoder.hasError(), "invalid UTF-8 sent");
    }

    void eachTextHasItsOwnRetries_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<QStringList>("delivered");
        QTest::addColumn<int>("attempts");

        // Two texts "a" and "b" queued together; the next `failures` deliveries fail.
        QTest::newRow("first taken at its last retry") << 5 << QStringList{"a", "b"} << 7;
        QTest::newRow("first dropped after five retries") << 6 << QStringList{"b"} << 7;
        QTest::newRow("first dropped, second at its last retry") << 11 << QStringList{"b"} << 12;
        QTest::newRow("both dropped") << 12 << QStringList{} << 12;
    }

    void eachTextHasItsOwnRetries()
    {
        QFETCH(int, failures);
        QFETCH(QStringList, delivered);
        QFETCH(int, attempts);
        play("ok");
        newlyDelivered();
        const int before = m_skype->deliveryAttempts();

        m_skype->failDeliveries(failures);
        link().PushCommand("a");
        link().PushCommand("b");
        QCOMPARE(newlyDelivered(), delivered);
        QCOMPARE(m_skype->deliveryAttempts() - before - 1, attempts); // without the marker
    }

    void startLinkTwice()
    {
        WindowMessageRecorder otherOwner;
        QVERIFY(SkypeLink::StartLink(&otherOwner, std::make_unique<InProcessSkypeTransport>()));
        QCOMPARE(m_skype->discoverCount(), 1);

        m_skype->attach(SKYPE_ATTACH_REFUSED);
        QTRY_COMPARE(m_owner->count(WM_LINK_REFUSED), 1);
        QCOMPARE(otherOwner.messages().size(), 0);
    }

    void startLinkFailsWithoutTransport()
    {
        SkypeLink::ShutdownLink();
        auto transport = std::make_unique<InProcessSkypeTransport>();
        transport->setOpenResult(false);
        QVERIFY(!SkypeLink::StartLink(m_owner, std::move(transport)));
        QVERIFY(!link().PushCommand("ping"));

        QVERIFY(start()); // a later start may still succeed
        QCOMPARE(m_skype->discoverCount(), 1);
    }

    void shutdownEndsTheSenderThread_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("waiting for the first attach") << "waiting";
        QTest::newRow("retrying a failing delivery") << "retrying";
        QTest::newRow("idle") << "idle";
    }

    void shutdownEndsTheSenderThread()
    {
        QFETCH(QString, situation);
        if (situation != QLatin1String("waiting")) {
            play("ok");
            newlyDelivered();
        }
        if (situation == QLatin1String("retrying")) {
            const int attempts = m_skype->deliveryAttempts();
            m_skype->failDeliveries(1000);
            link().PushCommand("get userstatus");
            QTRY_VERIFY(m_skype->deliveryAttempts() > attempts + 1);
        }
        SkypeLink::ShutdownLink(); // returns only once the sender thread has ended
        QVERIFY(!SkypeLink::HasInstance());
    }

    void aNewLinkStartsAfresh()
    {
        play("ok");
        link().setCurrentUserHandle("alice");
        link().setOwnStatusCode(3);
        link().setIncomingCall(false);
        link().setChatName("#alice/$bob;1");
        link().chatCreated().set();
        SkypeLink::ShutdownLink();

        SkypeLink& fresh = link();
        QVERIFY(!fresh.isApiReady());
        QVERIFY(!fresh.isQueueOpen());
        QVERIFY(!fresh.friendsRequested());
        QVERIFY(fresh.IsIncomingCall());
        QCOMPARE(fresh.CurrentUserHandle(), QString());
        QCOMPARE(fresh.ownStatusCode(), 0);
        QCOMPARE(fresh.chatName(), QString());
        QVERIFY(!fresh.chatCreated().isSet());
        QCOMPARE(fresh.owner(), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestSkypeLink)
#include "tst_skypelink.moc"
