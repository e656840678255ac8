#include "platform/AppPaths.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QTest>
#include <thread>

class Receiver : public QObject {
public:
    QList<std::tuple<int, qintptr, qintptr>> received;

protected:
    bool event(QEvent* e) override
    {
        if (const WindowMessage* m = WindowMessage::from(e)) {
            received.append({m->message(), m->wParam(), m->lParam()});
            return true;
        }
        return QObject::event(e);
    }
};

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void messagesPostedFromAnotherThreadArriveInOrder()
    {
        Receiver receiver;
        std::thread poster([&] {
            PostWindowMessage(&receiver, WM_LEVEL_MY_SIDE, 512);
            PostWindowMessage(&receiver, WM_LINK_CALL, -1, LINK_CALL_STATUS_CHANGED);
        });
        poster.join();
        QTRY_COMPARE(receiver.received.size(), 2);
        QCOMPARE(receiver.received[0], std::make_tuple(1297, qintptr(512), qintptr(0)));
        QCOMPARE(receiver.received[1], std::make_tuple(1534, qintptr(-1), qintptr(2)));
    }

    void foldersFollowTheHome()
    {
        TestEnvironment env;
        QVERIFY(env.isValid());
        QCOMPARE(AppPaths::DataFolder(), env.home() + "/.local/share/Tallowin/");
        QCOMPARE(AppPaths::HistoryFile(), env.home() + "/.local/share/Tallowin/record.xml");
        QCOMPARE(AppPaths::DefaultRecordingFolder(), env.home() + "/Documents/Tallowin Skype Recorder");
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
