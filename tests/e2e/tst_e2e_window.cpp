#include "history/CDlgRecHistory.h"
#include "history/RecordStore.h"
#include "mainwindow/CHelloWorldDlg.h"
#include "platform/AppPaths.h"
#include "settings/CGeneralProfile.h"
#include "support/Mp3Probe.h"
#include "support/StandInProcess.h"
#include "support/TestEnvironment.h"
#include "ui/CLabelEx.h"
#include "ui/CMyButtonST.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {
constexpr int CallTimeoutMs = 60000;
} // namespace

// The main window in the test's process, offscreen, with its real Skype link on the test's
// session bus and the stand-in Skype client as a separate process. The stand-in cannot press the
// window's buttons, so the cases that need the record button run here.
class TestE2eWindow : public QObject {
    Q_OBJECT

    static QStringList mp3Files()
    {
        return QDir(AppPaths::DefaultRecordingFolder()).entryList({"*.mp3"}, QDir::Files, QDir::Name);
    }

    static void saveSettings(bool rectype)
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.rectype = rectype;
        profile.notifycov = true;
        profile.notifyfinish = true;
        profile.notifyhistory = true;
        profile.setModified();
        profile.Save();
        CGeneralProfile::DestroyInstance();
    }

    // Runs inside the window's modal loop; a failed check ends it early.
    static void recordButtonRecordsTheCall(CHelloWorldDlg& window, StandInProcess& skype)
    {
        QVERIFY(QTest::qWaitFor([&] { return skype.commands().contains("search friends"); }, CallTimeoutMs));
        QAbstractButton* record = window.button(CHelloWorldDlg::RecordButton);
        QLabel* status = window.label(CHelloWorldDlg::RecordingStatusLine);
        QVERIFY(record && status);
        QVERIFY(!record->isEnabled());

        skype.send("incoming-call echo123 0.5 -");
        QVERIFY(QTest::qWaitFor([&] { return record->isEnabled(); }, CallTimeoutMs));
        QTest::qWait(1500);
        QCOMPARE(mp3Files(), QStringList{});
        QCOMPARE(RecordStore::Instance().Count(), 0);

        record->click();
        QCOMPARE(status->text(), "Recording in progress ...");
        QCOMPARE(mp3Files().size(), 1);
        const QString path = AppPaths::DefaultRecordingFolder() + "/" + mp3Files().first();
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(path).size() > 16000; }, CallTimeoutMs)); // 2 s written

        skype.send("hangup");
        QVERIFY(QTest::qWaitFor([] { return RecordStore::Instance().Count() == 1; }, CallTimeoutMs));
        QCOMPARE(status->text(), "Ready for recording ...");
        QVERIFY(!record->isEnabled());
        RecordEntry entry;
        QVERIFY(RecordStore::Instance().GetAt(0, entry));
        QCOMPARE(entry.name, "echo123");
        QCOMPARE(entry.type, 1);
        QCOMPARE(entry.file, path);
        QVERIFY(entry.duration >= 2);

        // The finished recording is in the history window, which comes forward (notifyhistory).
        CDlgRecHistory* history = window.historyWindow();
        QVERIFY(history && history->isVisible());
        QCOMPARE(history->counts().total, 1);
        QCOMPARE(history->counts().fresh, 1);

        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QVERIFY(probe.seconds() > 1.5);
        QCOMPARE(probe.channels(), 2);
        QVERIFY(probe.toneAmplitude(0, 440) > 10 * probe.toneAmplitude(0, 880));
        QVERIFY(probe.toneAmplitude(1, 880) > 10 * probe.toneAmplitude(1, 440));
    }

private slots:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    // With automatic recording off a call in progress only enables the record button; the
    // recording starts when it is pressed and ends with the call.
    void automaticRecordingOffWaitsForTheRecordButton()
    {
        TestEnvironment env;
        saveSettings(false);
        StandInProcess skype(TSR_SKYPE_STANDIN);
        QVERIFY(skype.waitUntilReady());

        CHelloWorldDlg window;
        QTimer::singleShot(0, &window, [&] {
            recordButtonRecordsTheCall(window, skype);
            window.reject();
        });
        window.DoModal();
    }
};

QTEST_MAIN(TestE2eWindow)
#include "tst_e2e_window.moc"
