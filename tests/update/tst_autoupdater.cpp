#include "platform/ProductSite.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShell.h"
#include "update/CAutoUpdater.h"

#include <QPointer>
#include <QTest>
#include <functional>

using Reply = LocalHttpServer::Reply;
Q_DECLARE_METATYPE(LocalHttpServer::Reply)

namespace {

const QString newVersionText = QStringLiteral("New version is available! Click 'OK' to update Now!");
const QString productName = QStringLiteral("Tallowin Skype Recorder");

// Notes which pages were already open when each box came up, and can act while a box is shown.
class WatchingPresenter : public RecordingMessagePresenter {
public:
    explicit WatchingPresenter(const RecordingShell& shell) : m_shell(shell) {}

    MessageResult present(const MessageRequest& request) override
    {
        pagesOpenAtBox.append(m_shell.openedUrls().size());
        if (whileShown)
            whileShown();
        return RecordingMessagePresenter::present(request);
    }

    QList<qsizetype> pagesOpenAtBox;
    std::function<void()> whileShown;

private:
    const RecordingShell& m_shell;
};

} // namespace

class TestAutoUpdater : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LocalHttpServer> m_server;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<WatchingPresenter> m_presenter;
    QObject m_mainWindow;

    // Runs both checks at once (no start delay) and waits until they have ended.
    std::unique_ptr<CAutoUpdater> runChecks(int timeLimitMs = 5000)
    {
        auto updater = std::make_unique<CAutoUpdater>(&m_mainWindow);
        updater->setTimeLimit(timeLimitMs);
        updater->onStartTick();
        [[maybe_unused]] const bool ended = QTest::qWaitFor([&] { return updater->isFinished(); }, 20000);
        return updater;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<LocalHttpServer>();
        QVERIFY(m_server->listen());
        qputenv("TSR_SITE_URL", m_server->baseUrl().toUtf8());
        m_shell = std::make_unique<RecordingShell>();
        m_presenter = std::make_unique<WatchingPresenter>(*m_shell);
    }

    void cleanup()
    {
        m_presenter.reset();
        m_shell.reset();
        m_server.reset();
        qunsetenv("TSR_SITE_URL");
    }

    void versionCheck_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<int>("result");

        QTest::newRow("same version") << Reply::text("6.6.6") << 0;
        QTest::newRow("newer") << Reply::text("6.6.7") << 8;
        QTest::newRow("older") << Reply::text("6.6.5") << 8;
        QTest::newRow("line end") << Reply::text("6.6.6\n") << 8;
        QTest::newRow("text ends at a zero byte") << Reply::text(QByteArray("6.6.6\0junk", 10)) << 0;
        QTest::newRow("HTML page") << Reply::text("<html><body>Moved</body></html>") << 3;
        QTest::newRow("empty reply") << Reply::text("") << 3;
        QTest::newRow("404 whatever its body") << Reply::text("6.6.7", 404) << 2;
        QTest::newRow("404 longer than what is read") << Reply::text("6.6.7" + QByteArray(5000, ' '), 404) << 2;
        QTest::newRow("server error") << Reply::text("6.6.7", 500) << 2;
        QTest::newRow("closed without answer") << Reply::closeAtOnce() << 2;
    }

    void versionCheck()
    {
        QFETCH(Reply, reply);
        QFETCH(int, result);

        m_server->setReply("/ver.ini", reply);
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());
        QCOMPARE(updater->result(CAutoUpdater::VersionCheck), result);
        QCOMPARE(updater->result(CAutoUpdater::NoticeCheck), CAutoUpdater::CannotOpen);
        if (result != CAutoUpdater::NewVersion) {
            QCOMPARE(m_presenter->count(), 0);
            QCOMPARE(m_shell->openedUrls(), QStringList());
            return;
        }
        QCOMPARE(m_presenter->count(), 1);
        const MessageRequest box = m_presenter->requests().first();
        QCOMPARE(box.owner, &m_mainWindow);
        QCOMPARE(box.caption, productName);
        QCOMPARE(box.text, newVersionText);
        QCOMPARE(box.icon, MessageIcon::Information);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QCOMPARE(m_presenter->pagesOpenAtBox, QList<qsizetype>{0});
        QCOMPARE(m_shell->openedUrls(), QStringList{ProductSite::DownloadPage()});
    }

    void notice_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<MessageResult>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("pageOpened");

        QTest::newRow("flagged, OK") << Reply::text("1Hello") << MessageResult::Ok << "Hello" << true;
        QTest::newRow("flagged, Cancel") << Reply::text("1Hello") << MessageResult::Cancel << "Hello" << false;
        QTest::newRow("text unchanged") << Reply::text("1 Grüße\r\nvon uns \n") << MessageResult::Cancel
                                        << QString::fromUtf8(" Grüße\r\nvon uns \n") << false;
        QTest::newRow("not flagged") << Reply::text("0Hello") << MessageResult::Ok << QString() << false;
        QTest::newRow("empty") << Reply::text("") << MessageResult::Ok << QString() << false;
    }

    void notice()
    {
        QFETCH(Reply, reply);
        QFETCH(MessageResult, answer);
        QFETCH(QString, shown);
        QFETCH(bool, pageOpened);

        m_server->setReply("/ver.ini", Reply::text("6.6.6"));
        m_server->setReply("/notice.ini", reply);
        m_presenter->setAnswer(answer);
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());

        if (shown.isNull()) {
            QCOMPARE(m_presenter->count(), 0);
        } else {
            QCOMPARE(m_presenter->count(), 1);
            const MessageRequest box = m_presenter->requests().first();
            QCOMPARE(box.owner, nullptr);
            QCOMPARE(box.caption, productName);
            QCOMPARE(box.text, shown);
            QCOMPARE(box.icon, MessageIcon::Information);
            QCOMPARE(box.buttons, MessageButtons::OkCancel);
        }
        QCOMPARE(m_shell->openedUrls(), pageOpened ? QStringList{ProductSite::NoticePage()} : QStringList());
    }

    void newVersionThenNotice()
    {
        m_server->setReply("/ver.ini", Reply::text("7.0.0"));
        m_server->setReply("/notice.ini", Reply::text("1Sale"));
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());
        QCOMPARE(m_presenter->count(), 2);
        QCOMPARE(m_presenter->requests()[0].text, newVersionText);
        QCOMPARE(m_presenter->requests()[1].text, "Sale");
        QCOMPARE(m_shell->openedUrls(), (QStringList{ProductSite::DownloadPage(), ProductSite::NoticePage()}));
    }

    void startWaitsForItsTick()
    {
        CAutoUpdater updater(&m_mainWindow);
        updater.start();
        QTest::qWait(200);
        QCOMPARE(m_server->requests().size(), 0);
        updater.onStartTick();
        QTRY_COMPARE(m_server->requests().size(), 2);
    }

    void requestsBypassCachesAndRunOncePerRun()
    {
        m_server->setReply("/ver.ini", Reply::text("6.6.6"));
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());
        updater->start();
        updater->onStartTick();
        QTest::qWait(200);

        const QList<LocalHttpServer::Request> requests = m_server->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].path, "/ver.ini");
        QCOMPARE(requests[1].path, "/notice.ini");
        for (const LocalHttpServer::Request& request : requests) {
            QCOMPARE(request.method, "GET");
            QCOMPARE(request.headers.value("cache-control"), "no-cache");
            QCOMPARE(request.headers.value("pragma"), "no-cache");
            QCOMPARE(request.headers.value("user-agent"), "Update");
        }
    }

    void refusedConnectionIsSilent()
    {
        qputenv("TSR_SITE_URL", LocalHttpServer::refusingUrl().toUtf8());
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());
        QCOMPARE(updater->result(CAutoUpdater::VersionCheck), CAutoUpdater::CannotOpen);
        QCOMPARE(updater->result(CAutoUpdater::NoticeCheck), CAutoUpdater::CannotOpen);
        QCOMPARE(m_presenter->count(), 0);
        QCOMPARE(m_shell->openedUrls(), QStringList());
    }

    void stallingServersEndAtTheTimeLimit_data()
    {
        QTest::addColumn<Reply>("reply");

        QTest::newRow("never answers") << Reply::neverAnswer();
        QTest::newRow("a byte at a time") << Reply::trickle("6.6.7");
    }

    void stallingServersEndAtTheTimeLimit()
    {
        QFETCH(Reply, reply);

        m_server->setReply("/ver.ini", reply);
        m_server->setReply("/notice.ini", reply);
        const auto updater = runChecks(300);
        QVERIFY(updater->isFinished());
        QCOMPARE(updater->result(CAutoUpdater::VersionCheck), CAutoUpdater::CannotOpen);
        QCOMPARE(updater->result(CAutoUpdater::NoticeCheck), CAutoUpdater::CannotOpen);
        QCOMPARE(m_presenter->count(), 0);
        QTRY_COMPARE(m_server->requests().size(), 2);
        QTRY_VERIFY(m_server->requests()[0].closedByClient);
    }

    void endlessReplyIsCutAfter4096Bytes()
    {
        m_server->setReply("/ver.ini", Reply::text("6.6.6"));
        const qint64 megabytes64 = 64LL << 20;
        m_server->setReply("/notice.ini", Reply::endless("1", megabytes64, 'x'));
        const auto updater = runChecks();
        QVERIFY(updater->isFinished());
        QCOMPARE(m_presenter->count(), 1);
        QCOMPARE(m_presenter->requests().first().text, QString(CAutoUpdater::MaxReadBytes - 1, QLatin1Char('x')));
        QTRY_VERIFY(m_server->requests().value(1).closedByClient);
        QVERIFY(m_server->requests()[1].bodyBytesSent < megabytes64);
    }

    void destroyingTheUpdaterAbortsAtOnce()
    {
        m_server->setReply("/ver.ini", Reply::neverAnswer());
        auto updater = std::make_unique<CAutoUpdater>(&m_mainWindow); // default limit of 15 s
        updater->onStartTick();
        QTRY_COMPARE(m_server->requests().size(), 1);
        updater.reset();
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requests()[0].closedByClient, 3000);
    }

    void programEndingDuringTheBoxIsSafe()
    {
        m_server->setReply("/ver.ini", Reply::text("6.6.7"));
        QPointer<CAutoUpdater> updater = new CAutoUpdater(&m_mainWindow);
        m_presenter->whileShown = [&] { delete updater.data(); };
        updater->onStartTick();
        QTRY_VERIFY(updater.isNull());
        QCOMPARE(m_presenter->count(), 1);
        QTest::qWait(100);
        QCOMPARE(m_shell->openedUrls(), QStringList());
        QCOMPARE(m_server->requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAutoUpdater)
#include "tst_autoupdater.moc"
