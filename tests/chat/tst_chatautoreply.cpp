#include "chat/ChatAutoReply.h"
#include "settings/CGeneralProfile.h"
#include "skype/SkypeText.h"
#include "skype/StatusCodes.h"

#include <QTest>

// The chat auto-reply on its own: Skype's texts in, the replies it sends out. The settings are
// the process-wide profile's, changed between messages the way the options dialog does.
class TestChatAutoReply : public QObject {
    Q_OBJECT

    QStringList m_replies; // chat names answered, in order
    std::unique_ptr<ChatAutoReply> m_autoReply;
    int m_messageId = 0;

    // Runs steps separated by "|": "status WORD", "msg CHAT" (a received message's chat name
    // arrives), "set SETTING on|off".
    void play(const QString& steps)
    {
        CGeneralProfile& settings = CGeneralProfile::Instance();
        for (const QString& step : steps.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const QString word = step.trimmed().section(QLatin1Char(' '), 0, 0);
            const QString argument = step.trimmed().section(QLatin1Char(' '), 1);
            if (word == QLatin1String("status")) {
                m_autoReply->OnOwnStatus(userStatusCodeOf(argument));
            } else if (word == QLatin1String("msg")) {
                m_autoReply->OnNotification("CHATMESSAGE " + QString::number(++m_messageId) + " CHATNAME " + argument);
            } else if (word == QLatin1String("set")) {
                const bool on = argument.endsWith(QLatin1String(" on"));
                const QString name = argument.section(QLatin1Char(' '), 0, 0);
                bool& setting = name == QLatin1String("chatreply")     ? settings.chatreply
                                : name == QLatin1String("onlinereply") ? settings.onlinereply
                                                                       : settings.notonlinereply;
                setting = on;
            } else {
                QFAIL(qPrintable("unknown step " + step));
            }
        }
    }

private slots:
    void init()
    {
        m_replies.clear();
        CGeneralProfile& settings = CGeneralProfile::Instance();
        settings.chatreply = true;
        settings.onlinereply = false;
        settings.notonlinereply = true;
        settings.replytxt = QStringLiteral("I am away.");
        m_autoReply = std::make_unique<ChatAutoReply>([this](const QString& chat, const QString& text) {
            if (text != CGeneralProfile::Instance().replytxt)
                m_replies.append(QStringLiteral("(wrong text) ") + text);
            m_replies.append(chat);
            return true;
        });
    }

    void cleanup()
    {
        m_autoReply.reset();
        CGeneralProfile::DestroyInstance();
    }

    void periods_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("replies");

        QTest::newRow("away: one reply per chat")
            << "status AWAY | msg c1 | msg c1 | msg c2 | msg c1 | msg c2" << QStringList{"c1", "c2"};
        QTest::newRow("away, then do not disturb: answered once more")
            << "status AWAY | msg c1 | msg c2 | status DND | msg c2 | msg c1 | msg c1"
            << QStringList{"c1", "c2", "c2", "c1"};
        QTest::newRow("not available") << "status NA | msg c1 | msg c1" << QStringList{"c1"};
        QTest::newRow("nothing before the status is known")
            << "msg c1 | msg c1 | status AWAY | msg c1" << QStringList{"c1"};
        QTest::newRow("invisible closes the period")
            << "status AWAY | status INVISIBLE | msg c1 | msg c1" << QStringList{};
        QTest::newRow("offline and unlisted statuses close it")
            << "status AWAY | msg c1 | status OFFLINE | msg c1 | status CONNECTING | msg c1" << QStringList{"c1"};
        QTest::newRow("online again reopens every known chat")
            << "set onlinereply on | status AWAY | msg c1 | msg c2 | status INVISIBLE | msg c1 | status ONLINE | msg "
               "c2 | "
               "msg c1"
            << QStringList{"c1", "c2", "c2", "c1"};
        QTest::newRow("online without onlinereply keeps the chat pending")
            << "status ONLINE | msg c1 | msg c1 | set onlinereply on | msg c1 | msg c1" << QStringList{"c1"};
        QTest::newRow("skype me counts as online")
            << "status SKYPEME | msg c1 | set onlinereply on | msg c1" << QStringList{"c1"};
        QTest::newRow("away without notonlinereply")
            << "set notonlinereply off | status AWAY | msg c1 | msg c1" << QStringList{};
        QTest::newRow("chatreply off leaves pending flags alone")
            << "status AWAY | set chatreply off | msg c1 | msg c1 | set chatreply on | msg c1 | msg c1"
            << QStringList{"c1"};
        QTest::newRow("names differing in case are one chat")
            << "status AWAY | msg Chat1 | msg CHAT1 | status DND | msg chat1" << QStringList{"Chat1", "Chat1"};
    }

    void periods()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, replies);
        play(steps);
        QCOMPARE(m_replies, replies);
    }

    void entriesKeepTheFirstName()
    {
        play("status AWAY | msg #Bob/$alice;1 | msg #bob/$ALICE;1 | msg c2 | status INVISIBLE");
        const auto& entries = m_autoReply->entries();
        QCOMPARE(entries.size(), std::size_t(2));
        QCOMPARE(entries[0].chatName, QStringLiteral("#Bob/$alice;1"));
        QVERIFY(!entries[0].pending);
        QVERIFY(!entries[1].pending);
        QCOMPARE(m_autoReply->ownStatusCode(), int(UserInvisible));
    }

    void chatNameAnswers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chat");
        QTest::newRow("chat message") << "CHATMESSAGE 7 CHATNAME #bob/$alice;1"
                                      << "#bob/$alice;1";
        QTest::newRow("message") << "MESSAGE 7 CHATNAME c1"
                                 << "c1";
        QTest::newRow("keyword in any case, blanks around") << "  chatMessage  7   CHATNAME   c1  "
                                                            << "c1";
        QTest::newRow("rest of the text is the name") << "CHATMESSAGE 7 CHATNAME c1 and more"
                                                      << "c1 and more";
        QTest::newRow("property in another case") << "CHATMESSAGE 7 chatname c1"
                                                  << "";
        QTest::newRow("no name") << "CHATMESSAGE 7 CHATNAME"
                                 << "";
        QTest::newRow("no property") << "CHATMESSAGE 7"
                                     << "";
        QTest::newRow("other property") << "CHATMESSAGE 7 STATUS RECEIVED"
                                        << "";
        QTest::newRow("other keyword") << "CHAT 7 CHATNAME c1"
                                       << "";
        QTest::newRow("over-long name") << "CHATMESSAGE 7 CHATNAME " +
                                               QString(SkypeText::MaxNameLength + 1, QLatin1Char('c'))
                                        << "";
    }

    void chatNameAnswers()
    {
        QFETCH(QString, text);
        QFETCH(QString, chat);
        play("status AWAY");
        m_autoReply->OnNotification(text);
        QCOMPARE(m_replies, chat.isEmpty() ? QStringList{} : QStringList{chat});
        QCOMPARE(m_autoReply->entries().size(), chat.isEmpty() ? 0u : 1u);
    }

    // The text is read when the reply goes out.
    void changedTextApplies()
    {
        QStringList texts;
        ChatAutoReply autoReply([&texts](const QString&, const QString& text) {
            texts.append(text);
            return true;
        });
        autoReply.OnOwnStatus(UserAway);
        autoReply.OnChatName("c1");
        CGeneralProfile::Instance().replytxt = QStringLiteral("Gone fishing.");
        autoReply.OnChatName("c2");
        QCOMPARE(texts, (QStringList{"I am away.", "Gone fishing."}));
    }
};

QTEST_GUILESS_MAIN(TestChatAutoReply)
#include "tst_chatautoreply.moc"
