#include "platform/DesktopShell.h"
#include "platform/WidgetMessagePresenter.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <thread>

// Collects what the desktop was asked to open instead of starting a browser or file manager.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// Plays the desktop's file manager on the bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString&) { shown += uris; }
};

class TestPlatformUi : public QObject {
    Q_OBJECT

    UrlCatcher m_catcher;

    // The message box on the screen, if any.
    static QMessageBox* shownBox()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                return box;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler("file", &m_catcher, "open");
        QDesktopServices::setUrlHandler("https", &m_catcher, "open");
    }

    void init() { m_catcher.urls.clear(); }

    void messageBoxesShowOnTheInterfaceThread_data()
    {
        QTest::addColumn<bool>("fromWorker");
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<int>("press"); // a QMessageBox button, or 0 for Escape
        QTest::addColumn<MessageResult>("answer");

        QTest::newRow("ok") << false << MessageButtons::Ok << int(QMessageBox::Ok) << MessageResult::Ok;
        QTest::newRow("ok closed with Escape") << false << MessageButtons::Ok << 0 << MessageResult::Ok;
        QTest::newRow("yes from a worker")
            << true << MessageButtons::YesNo << int(QMessageBox::Yes) << MessageResult::Yes;
        QTest::newRow("no from a worker") << true << MessageButtons::YesNo << int(QMessageBox::No) << MessageResult::No;
        QTest::newRow("cancel with Escape from a worker")
            << true << MessageButtons::OkCancel << 0 << MessageResult::Cancel;
    }

    void messageBoxesShowOnTheInterfaceThread()
    {
        QFETCH(bool, fromWorker);
        QFETCH(MessageButtons, buttons);
        QFETCH(int, press);
        QFETCH(MessageResult, answer);

        QWidget owner;
        MessageRequest request{&owner, "Tallowin Skype Recorder", "Something to say", MessageIcon::Warning, buttons};
        WidgetMessagePresenter presenter;

        QString seenText, seenCaption;
        bool seenOnInterfaceThread = false;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QWidget* seenParent = nullptr;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            QMessageBox* box = shownBox();
            if (!box)
                return;
            answerer.stop();
            seenText = box->text();
            seenCaption = box->windowTitle();
            seenIcon = box->icon();
            seenParent = box->parentWidget();
            seenOnInterfaceThread = QThread::currentThread() == qApp->thread() && box->thread() == qApp->thread();
            if (press)
                box->button(QMessageBox::StandardButton(press))->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        answerer.start(10);

        std::atomic<bool> done = false;
        MessageResult result = MessageResult::Cancel;
        if (fromWorker) {
            std::thread worker([&] {
                result = presenter.present(request);
                done = true;
            });
            const bool finished = QTest::qWaitFor([&] { return done.load(); }, 10000);
            worker.join();
            QVERIFY(finished);
        } else {
            result = presenter.present(request);
        }

        QCOMPARE(result, answer);
        QVERIFY(seenOnInterfaceThread);
        QCOMPARE(seenText, "Something to say");
        QCOMPARE(seenCaption, "Tallowin Skype Recorder");
        QCOMPARE(seenIcon, QMessageBox::Warning);
        QCOMPARE(seenParent, &owner);
    }

    void pagesAndFoldersGoToTheDesktop()
    {
        DesktopShell shell;
        shell.openUrl("https://www.tallowin.com/skype-recorder/help.htm");
        shell.openFolder("/tmp/some folder");
        QCOMPARE(m_catcher.urls, (QList<QUrl>{QUrl("https://www.tallowin.com/skype-recorder/help.htm"),
                                              QUrl::fromLocalFile("/tmp/some folder")}));
    }

    void showInFolderAsksTheFileManager()
    {
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "filemanager");
        FakeFileManager fileManager;
        QVERIFY(other.registerObject("/org/freedesktop/FileManager1", &fileManager,
                                     QDBusConnection::ExportScriptableSlots));
        QVERIFY(other.registerService("org.freedesktop.FileManager1"));

        DesktopShell shell;
        shell.showInFolder("/tmp/calls/alice_2024-05-01_10-00-00.mp3");
        QTRY_COMPARE(fileManager.shown, QStringList{"file:///tmp/calls/alice_2024-05-01_10-00-00.mp3"});
        QTest::qWait(50);
        QCOMPARE(m_catcher.urls, QList<QUrl>{});

        other.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("filemanager");
    }

    void showInFolderWithoutFileManagerOpensTheFolder()
    {
        DesktopShell shell;
        shell.showInFolder("/tmp/calls/alice_2024-05-01_10-00-00.mp3");
        QTRY_COMPARE(m_catcher.urls, QList<QUrl>{QUrl::fromLocalFile("/tmp/calls")});
    }

    void moveToTrash()
    {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.path(".local/share"))); // the program's data folder makes it
        const QString file = env.path("alice.mp3");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("ID3");
        out.close();

        DesktopShell shell;
        QVERIFY(shell.moveToTrash(file));
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(QFileInfo::exists(env.path(".local/share/Trash/files/alice.mp3")));
        QVERIFY(!shell.moveToTrash(file)); // already gone
    }
};

QTEST_MAIN(TestPlatformUi)
#include "tst_platform_ui.moc"
