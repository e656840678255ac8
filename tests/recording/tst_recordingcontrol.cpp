#include "audio/AudioCapture.h"
#include "audio/AudioTestSignals.h"
#include "history/RecordStore.h"
#include "recording/RecordingControl.h"
#include "settings/CGeneralProfile.h"
#include "skype/InProcessSkypeTransport.h"
#include "skype/SkypeLink.h"
#include "support/FakeClock.h"
#include "support/Mp3Probe.h"
#include "support/RecordingMessagePresenter.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include <ctime>

using RecordLook = RecordingView::RecordLook;
using PauseLook = RecordingView::PauseLook;

namespace {

// What the main window was told, as it stands now, and how often it was asked to come forward.
class FakeRecordingView : public RecordingView {
public:
    void setRecordingStatus(const QString& text, quint32 rgb) override
    {
        status = text;
        colour = rgb;
        statusTexts.append(text);
    }
    void setRecordLook(RecordLook look) override { recordLook = look; }
    void setPauseLook(PauseLook look) override { pauseLook = look; }
    void setRecordButtonEnabled(bool enabled) override { recordEnabled = enabled; }
    void resetLevelMeters() override { ++meterResets; }
    void refreshTimeDisplay() override { ++timeRefreshes; }
    void bringToFront() override { ++broughtToFront; }
    void showHistoryWindow() override { ++historyShown; }
    void addToHistoryWindow(const RecordEntry& entry) override { historyItems.append(entry); }

    QString status;
    quint32 colour = 0;
    QStringList statusTexts;
    RecordLook recordLook = RecordLook::Start;
    PauseLook pauseLook = PauseLook::Pause;
    bool recordEnabled = false;
    int meterResets = 0;
    int timeRefreshes = 0;
    int broughtToFront = 0;
    int historyShown = 0;
    QList<RecordEntry> historyItems;
};

// Central European time, so that a local stamp differs from the UTC one.
const char* const testZone = "CET-1CEST,M3.5.0,M10.5.0/3";

qint64 localSeconds(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime).toSecsSinceEpoch();
}

// 2013-05-04 13:07:09 local time.
qint64 startOfCall()
{
    return localSeconds(2013, 5, 4, 13, 7, 9);
}

} // namespace

// The recording control with a fake main window, Skype played through the in-process link, the
// real audio capture writing real files (without its servers: the tests push the audio), the
// real history store on a file, and a clock the tests move.
class TestRecordingControl : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<RecordingMessagePresenter> m_boxes;
    FakeRecordingView m_view;
    RecordingCounters m_counters;
    std::unique_ptr<RecordingControl> m_control;
    InProcessSkypeTransport* m_skype = nullptr;

    RecordingControl& control() { return *m_control; }
    static CGeneralProfile& settings() { return CGeneralProfile::Instance(); }
    static CallTable& calls() { return SkypeLink::LinkInstance().callTable(); }
    static AudioCapture& audio() { return AudioCapture::instance(); }
    QString folder() const { return m_env->path("Rec"); }

    // Skype says each text in turn; the call events each one causes are handled before the next.
    void say(const QStringList& texts)
    {
        for (const QString& text : texts) {
            m_skype->send(text);
            settle();
        }
    }

    // Handles the posted window messages, also those posted while handling them.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // A call that rang and is now in progress.
    void callInProgress(const QString& id, const QString& partner, const QString& type = "INCOMING_P2P")
    {
        say({"CALL " + id + " STATUS RINGING", "CALL " + id + " TYPE " + type,
             "CALL " + id + " PARTNER_HANDLE " + partner, "CALL " + id + " STATUS INPROGRESS"});
    }

    void callEnds(const QString& id, const QString& status = "FINISHED") { say({"CALL " + id + " STATUS " + status}); }

    // Both sides of a call for `seconds`: my side 440 Hz, the remote side 880 Hz, pushed in blocks.
    static void pushAudio(double seconds)
    {
        const int blocks = int(seconds * AudioTestSignals::InputRate / AudioTestSignals::BlockSamples);
        const int samples = blocks * AudioTestSignals::BlockSamples;
        std::vector<std::int16_t> mine = AudioTestSignals::tone(440, samples);
        std::vector<std::int16_t> theirs = AudioTestSignals::tone(880, samples);
        for (int b = 0; b < blocks; ++b) {
            const std::size_t first = std::size_t(b) * AudioTestSignals::BlockSamples;
            audio().mixWorker().PushMySide(AudioTestSignals::view(mine, first, AudioTestSignals::BlockSamples));
            audio().mixWorker().PushRemoteSide(AudioTestSignals::view(theirs, first, AudioTestSignals::BlockSamples));
        }
    }

    // Seconds of a recording pass: the clock moves and the duration timer ticks.
    void runFor(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            m_clock->advance(1);
            if (control().isDurationTimerRunning())
                control().onDurationTick();
        }
    }

    QList<RecordEntry> records()
    {
        QList<RecordEntry> entries;
        RecordStore& store = RecordStore::Instance();
        for (int i = 0; i < store.Count(); ++i) {
            RecordEntry entry;
            if (store.GetAt(i, entry))
                entries.append(entry);
        }
        return entries;
    }

    QStringList mp3Files() const { return QDir(folder()).entryList({"*.mp3"}, QDir::Files, QDir::Name); }

    void verifyShowsRecording()
    {
        QVERIFY(control().isRecording());
        QCOMPARE(m_view.status, "Recording in progress ...");
        QCOMPARE(m_view.colour, RecordingView::AlertColour);
        QCOMPARE(m_counters.statusCode, int(RecordingCounters::Recording));
        QCOMPARE(m_view.recordLook, RecordLook::Stop);
        QCOMPARE(m_view.pauseLook, PauseLook::Pause);
        QVERIFY(control().isDurationTimerRunning());
    }

    void verifyShowsStopped()
    {
        QVERIFY(!control().isRecording());
        QCOMPARE(audio().captureState(), CaptureState::Stopped);
        QCOMPARE(m_view.status, "Ready for recording ...");
        QCOMPARE(m_view.colour, RecordingView::NormalColour);
        QCOMPARE(m_counters.statusCode, int(RecordingCounters::Ready));
        QCOMPARE(m_view.recordLook, RecordLook::Start);
        QCOMPARE(m_view.pauseLook, PauseLook::Pause);
        QVERIFY(!control().isDurationTimerRunning());
        QCOMPARE(m_counters.durationSeconds, quint64(0));
        QVERIFY(m_view.meterResets > 0);
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", testZone);
        tzset();
    }

    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_clock = std::make_unique<FakeClock>(startOfCall());
        m_boxes = std::make_unique<RecordingMessagePresenter>();
        m_view = FakeRecordingView();
        m_counters = RecordingCounters();
        QVERIFY(QDir().mkpath(folder()));
        CGeneralProfile& profile = settings();
        profile.sfolder = folder();
        profile.rectype = true;
        profile.notifycov = true;
        profile.notifyfinish = true;
        profile.notifyhistory = true;
        QVERIFY(RecordStore::Instance().Open(m_env->path("record.xml")));

        m_control = std::make_unique<RecordingControl>(m_view, m_counters);
        auto transport = std::make_unique<InProcessSkypeTransport>();
        m_skype = transport.get();
        QVERIFY(SkypeLink::StartLink(m_control.get(), std::move(transport)));
        m_skype->attach(SKYPE_ATTACH_SUCCESS);
        settle();
    }

    void cleanup()
    {
        SkypeLink::ShutdownLink();
        m_skype = nullptr;
        AudioCapture::destroyInstance();
        m_control.reset();
        RecordStore::DestroyInstance();
        CGeneralProfile::DestroyInstance();
        m_boxes.reset();
        m_clock.reset();
        m_env.reset();
    }

    void fileNameReplacesWhatAFileNameCannotHold_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain handle") << "echo123"
                                      << "echo123_2013-05-04_13-07-09";
        QTest::newRow("the nine characters") << "a\\b/c:d*e?f\"g<h>i|j"
                                             << "a-b-c-d-e-f-g-h-i-j_2013-05-04_13-07-09";
        QTest::newRow("others kept") << "o'neil.b@x y"
                                     << "o'neil.b@x y_2013-05-04_13-07-09";
    }

    void fileNameReplacesWhatAFileNameCannotHold()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(RecordingControl::MakeFileName(name, startOfCall()), expected);
    }

    void fileNameStampIsLocalTime()
    {
        // Winter: one hour ahead of UTC.
        QCOMPARE(RecordingControl::MakeFileName("bob", localSeconds(2013, 1, 31, 23, 59, 59)),
                 "bob_2013-01-31_23-59-59");
        QCOMPARE(RecordingControl::MakeFileName(
                     "bob", QDateTime(QDate(2013, 1, 31), QTime(23, 30), Qt::UTC).toSecsSinceEpoch()),
                 "bob_2013-02-01_00-30-00");
    }

    // A whole call: the file it gives in the recording folder and the record it leaves.
    void callBecomesFileAndRecord_data()
    {
        QTest::addColumn<QString>("partner");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("historyName");
        QTest::addColumn<int>("direction");
        QTest::newRow("echo123") << "echo123"
                                 << "INCOMING_P2P"
                                 << "echo123_2013-05-04_13-07-09.mp3"
                                 << "echo123" << 1;
        QTest::newRow("outgoing") << "echo123"
                                  << "OUTGOING_P2P"
                                  << "echo123_2013-05-04_13-07-09.mp3"
                                  << "echo123" << 2;
        QTest::newRow("undisclosed number") << "undisclosed_pstn:xyz"
                                            << "INCOMING_PSTN"
                                            << "undisclosed_pstn_2013-05-04_13-07-09.mp3"
                                            << "undisclosed_pstn:xyz" << 1;
        QTest::newRow("scheme prefix") << "sip:bob@example.com"
                                       << "INCOMING_P2P"
                                       << "sip-bob@example.com_2013-05-04_13-07-09.mp3"
                                       << "sip:bob@example.com" << 1;
    }

    void callBecomesFileAndRecord()
    {
        QFETCH(QString, partner);
        QFETCH(QString, type);
        QFETCH(QString, fileName);
        QFETCH(QString, historyName);
        QFETCH(int, direction);
        const qint64 start = m_clock->nowSeconds();

        callInProgress("101", partner, type);
        verifyShowsRecording();
        QVERIFY(m_view.recordEnabled);
        QCOMPARE(m_view.broughtToFront, 1); // notifycov
        const QString file = folder() + "/" + fileName;
        QCOMPARE(control().session().entry().file, file);
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(control().session().callIds(), "101");
        QCOMPARE(m_boxes->count(), 0);

        pushAudio(2);
        runFor(5);
        QCOMPARE(m_counters.durationSeconds, quint64(5));
        callEnds("101");
        verifyShowsStopped();
        QVERIFY(!m_view.recordEnabled);
        QCOMPARE(calls().FindCall("101"), -1); // the table is cleared once no call is active
        QCOMPARE(m_view.broughtToFront, 2);    // notifyfinish
        QCOMPARE(m_view.historyShown, 1);      // notifyhistory

        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        const RecordEntry& entry = stored.first();
        QCOMPARE(entry.name, historyName);
        QCOMPARE(entry.type, direction);
        QCOMPARE(entry.duration, 5);
        QCOMPARE(entry.isNew, true);
        QCOMPARE(entry.time, QString::number(start));
        QCOMPARE(entry.file, file);
        QCOMPARE(entry.note, QString());
        QCOMPARE(m_view.historyItems, stored);
        QCOMPARE(control().session().callIds(), QString());

        const Mp3Probe probe(file);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.channels(), 2);
        QVERIFY(qAbs(probe.seconds() - 2.0) < 0.2);
        QVERIFY(probe.toneAmplitude(0, 440) > 10 * probe.toneAmplitude(0, 880));
        QVERIFY(probe.toneAmplitude(1, 880) > 10 * probe.toneAmplitude(1, 440));
    }

    // A partner not known yet when the call comes in: the call id names the recording.
    void callWithoutPartnerIsNamedByItsId()
    {
        say({"CALL 101 STATUS INPROGRESS"});
        QVERIFY(control().isRecording());
        QCOMPARE(control().session().entry().file, folder() + "/101_2013-05-04_13-07-09.mp3");
        callEnds("101");
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().first().name, "101");
    }

    void encoderValuesComeFromTheSettings_data()
    {
        QTest::addColumn<int>("amode");
        QTest::addColumn<int>("abitrate");
        QTest::addColumn<int>("asample");
        QTest::addColumn<int>("recside");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::newRow("mono 32 kbit/s 16 kHz, my side") << 0 << 0 << 0 << 1 << 1 << 32 << 16000;
        QTest::newRow("stereo 128 kbit/s 44.1 kHz") << 1 << 3 << 2 << 0 << 2 << 128 << 44100;
        QTest::newRow("joint stereo 192 kbit/s 48 kHz, remote side") << 2 << 4 << 3 << 2 << 2 << 192 << 48000;
    }

    void encoderValuesComeFromTheSettings()
    {
        QFETCH(int, amode);
        QFETCH(int, abitrate);
        QFETCH(int, asample);
        QFETCH(int, recside);
        QFETCH(int, channels);
        QFETCH(int, bitrate);
        QFETCH(int, rate);
        settings().amode = amode;
        settings().abitrate = abitrate;
        settings().asample = asample;
        settings().recside = recside;

        callInProgress("101", "echo123");
        QVERIFY(control().isRecording());
        QCOMPARE(audio().side(), recside);
        QCOMPARE(audio().mixWorker().side(), recside);
        pushAudio(1);
        callEnds("101");

        const Mp3Probe probe(folder() + "/echo123_2013-05-04_13-07-09.mp3");
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QCOMPARE(probe.channels(), channels);
        QCOMPARE(probe.bitrate(), bitrate);
        QCOMPARE(probe.sampleRate(), rate);
    }

    // A second call joins the running recording; the recording ends only with the last of them
    // and its record names both partners in the order they joined.
    void twoCallsInOneRecording_data()
    {
        QTest::addColumn<QString>("firstToEnd");
        QTest::addColumn<QString>("lastToEnd");
        QTest::newRow("first call ends first") << "101"
                                               << "102";
        QTest::newRow("second call ends first") << "102"
                                                << "101";
    }

    void twoCallsInOneRecording()
    {
        QFETCH(QString, firstToEnd);
        QFETCH(QString, lastToEnd);
        callInProgress("101", "echo123");
        runFor(3);
        callInProgress("102", "alice");
        QCOMPARE(control().session().callIds(), "101,102");
        QCOMPARE(mp3Files().size(), 1);
        runFor(3);

        callEnds(firstToEnd);
        verifyShowsRecording();
        QVERIFY(m_view.recordEnabled);
        QVERIFY(calls().FindCall(lastToEnd) >= 0);
        runFor(4);

        callEnds(lastToEnd, "REFUSED");
        verifyShowsStopped();
        QVERIFY(!m_view.recordEnabled);
        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().name, "echo123,alice");
        QCOMPARE(stored.first().duration, 10);
        QCOMPARE(mp3Files(), QStringList{"echo123_2013-05-04_13-07-09.mp3"});
    }

    // Started by hand while two calls are active: the record names the earlier call only, and
    // the recording ends once both calls have ended, whichever ends last.
    void manualStartWithTwoActiveCalls_data()
    {
        QTest::addColumn<QString>("firstToEnd");
        QTest::addColumn<QString>("lastToEnd");
        QTest::newRow("earlier call ends first") << "101"
                                                 << "102";
        QTest::newRow("later call ends first") << "102"
                                               << "101";
    }

    void manualStartWithTwoActiveCalls()
    {
        QFETCH(QString, firstToEnd);
        QFETCH(QString, lastToEnd);
        settings().rectype = false;
        callInProgress("101", "echo123");
        m_clock->advance(2);
        callInProgress("102", "alice");
        QVERIFY(!control().isRecording());
        QVERIFY(m_view.recordEnabled);

        control().OnRecordButton();
        verifyShowsRecording();
        QCOMPARE(control().session().callIds(), "101");
        QCOMPARE(control().session().entry().name, "echo123");

        callEnds(firstToEnd);
        verifyShowsRecording();
        callEnds(lastToEnd, "MISSED");
        verifyShowsStopped();
        QVERIFY(!m_view.recordEnabled);
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().first().name, "echo123");
    }

    // A call that never took part in the recording does not end it, even when no call is
    // active any more.
    void unrelatedCallDoesNotEndTheRecording()
    {
        callInProgress("101", "echo123");
        say({"CALL 101 STATUS REMOTEHOLD"}); // a word the program does not know: 101 no longer counts as active
        say({"CALL 102 STATUS RINGING", "CALL 102 PARTNER_HANDLE alice"});
        callEnds("102", "MISSED");
        QVERIFY(control().isRecording());
        QVERIFY(!control().isFinishPending());
        QCOMPARE(records().size(), 0);
    }

    void automaticRecordingOff_data()
    {
        QTest::addColumn<bool>("notifycov");
        QTest::newRow("notifycov on") << true;
        QTest::newRow("notifycov off") << false;
    }

    // Only the record button is enabled; notifycov still brings the window forward. Nothing is
    // recorded until the button is pressed.
    void automaticRecordingOff()
    {
        QFETCH(bool, notifycov);
        settings().rectype = false;
        settings().notifycov = notifycov;
        callInProgress("101", "echo123");
        QVERIFY(!control().isRecording());
        QVERIFY(m_view.recordEnabled);
        QCOMPARE(m_view.broughtToFront, notifycov ? 1 : 0);
        QCOMPARE(m_view.statusTexts, QStringList{});
        QCOMPARE(mp3Files(), QStringList{});

        m_clock->advance(3);
        control().OnRecordButton();
        verifyShowsRecording();
        QCOMPARE(mp3Files(), QStringList{"echo123_2013-05-04_13-07-12.mp3"});
        runFor(2);
        callEnds("101");
        verifyShowsStopped();
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().first().duration, 2);
    }

    // A call ending while nothing is recorded and no other call is active: the record button
    // is disabled and the call table cleared, nothing else.
    void callEndsWithoutRecording()
    {
        settings().rectype = false;
        settings().notifycov = false;
        callInProgress("101", "echo123");
        callEnds("101");
        QVERIFY(!m_view.recordEnabled);
        QCOMPARE(calls().FindCall("101"), -1);
        QCOMPARE(m_view.statusTexts, QStringList{});
        QCOMPARE(m_view.meterResets, 0);
        QCOMPARE(m_view.broughtToFront, 0);
        QCOMPARE(m_view.historyShown, 0);
        QCOMPARE(records().size(), 0);
        QCOMPARE(audio().captureState(), CaptureState::Idle);
    }

    // Messages that change nothing: partner known, statuses that neither start nor end a call,
    // slots outside the table.
    void otherCallEventsChangeNothing_data()
    {
        QTest::addColumn<qintptr>("slot");
        QTest::addColumn<qintptr>("change");
        QTest::addColumn<bool>("handled");
        QTest::newRow("partner known") << qintptr(0) << qintptr(1) << false;
        QTest::newRow("other change") << qintptr(0) << qintptr(3) << false;
        QTest::newRow("no slot") << qintptr(-1) << qintptr(2) << true;
        QTest::newRow("past the table") << qintptr(20) << qintptr(2) << true;
        QTest::newRow("far past the table") << (qintptr(1) << 40) << qintptr(2) << true;
    }

    void otherCallEventsChangeNothing()
    {
        QFETCH(qintptr, slot);
        QFETCH(qintptr, change);
        QFETCH(bool, handled);
        settings().notifycov = false;
        callInProgress("101", "echo123");
        const FakeRecordingView before = m_view;
        QCOMPARE(control().OnLinkCall(slot, change), handled);
        QVERIFY(control().isRecording());
        QCOMPARE(m_view.statusTexts, before.statusTexts);
        QCOMPARE(m_view.recordEnabled, before.recordEnabled);
    }

    // A held call does not pause the recording, and its return changes nothing either.
    void holdKeepsRecording()
    {
        callInProgress("101", "echo123");
        say({"CALL 101 STATUS ONHOLD"});
        verifyShowsRecording();
        QCOMPARE(audio().captureState(), CaptureState::Recording);
        say({"CALL 101 STATUS INPROGRESS"});
        verifyShowsRecording();
        QCOMPARE(control().session().callIds(), "101");
    }

    // Pauses are left out of the time shown and of the stored duration, also one that is still
    // open when the recording stops.
    void pausesAreLeftOut_data()
    {
        QTest::addColumn<bool>("resumeBeforeStop");
        QTest::addColumn<int>("durationAtStop");
        QTest::newRow("pause 20 s of 60 s") << true << 40;
        QTest::newRow("stop while paused") << false << 20;
    }

    void pausesAreLeftOut()
    {
        QFETCH(bool, resumeBeforeStop);
        QFETCH(int, durationAtStop);
        callInProgress("101", "echo123");
        runFor(20);

        control().OnPauseButton();
        QCOMPARE(audio().captureState(), CaptureState::Paused);
        QCOMPARE(m_view.status, "Recording pause ...");
        QCOMPARE(m_view.colour, RecordingView::AlertColour);
        QCOMPARE(m_counters.statusCode, int(RecordingCounters::Paused));
        QCOMPARE(m_view.pauseLook, PauseLook::Resume);
        QCOMPARE(m_view.recordLook, RecordLook::Stop);
        QVERIFY(!control().isDurationTimerRunning());
        QVERIFY(control().session().isPaused());
        runFor(20);
        QCOMPARE(m_counters.durationSeconds, quint64(20)); // the display holds during the pause

        if (resumeBeforeStop) {
            control().OnPauseButton();
            QCOMPARE(audio().captureState(), CaptureState::Resumed);
            verifyShowsRecording();
            QCOMPARE(control().session().pausedTotal(), 20);
            runFor(20);
            QCOMPARE(m_counters.durationSeconds, quint64(40));
        }
        control().OnRecordButton();
        settle();
        verifyShowsStopped();
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().first().duration, durationAtStop);
    }

    // The time shown goes past a day; so does the stored duration (the display's hours wrap,
    // which is the window's business).
    void longRecordingKeepsItsFullDuration()
    {
        callInProgress("101", "echo123");
        runFor(25 * 3600);
        QCOMPARE(m_counters.durationSeconds, quint64(25 * 3600));
        callEnds("101");
        QCOMPARE(records().first().duration, 25 * 3600);
    }

    // A recording that cannot write its file does not start: the writer's message is shown,
    // the window never shows a recording, no time is counted and no record is added.
    void unwritableFolderStartsNothing_data()
    {
        QTest::addColumn<QString>("recordingFolder");
        QTest::addColumn<bool>("fileInTheWay");
        QTest::newRow("missing folder") << "missing/folder" << false;
        QTest::newRow("a file where the folder should be") << "blocked" << true;
    }

    void unwritableFolderStartsNothing()
    {
        QFETCH(QString, recordingFolder);
        QFETCH(bool, fileInTheWay);
        const QString path = m_env->path(recordingFolder);
        if (fileInTheWay) {
            QFile blocker(path);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        settings().sfolder = path;

        callInProgress("101", "echo123");
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_boxes->requests().first().caption, "Tallowin Skype Recorder Create Mp3 File Failed!");
        QVERIFY(!control().isRecording());
        QCOMPARE(m_view.statusTexts, QStringList{});
        QCOMPARE(m_view.recordLook, RecordLook::Start);
        QCOMPARE(m_counters.statusCode, int(RecordingCounters::WaitingForSkype));
        QVERIFY(!control().isDurationTimerRunning());
        QCOMPARE(control().session().callIds(), QString());
        QVERIFY(m_view.recordEnabled); // the call can still be recorded once the folder is there

        runFor(3);
        QCOMPARE(m_counters.durationSeconds, quint64(0));
        callEnds("101");
        QCOMPARE(records().size(), 0);
        QCOMPARE(m_view.historyItems.size(), 0);
        QCOMPARE(m_view.meterResets, 0);
    }

    // The same call, once the folder exists: the record button starts it.
    void recordButtonRetriesOnceTheFolderExists()
    {
        settings().sfolder = m_env->path("later");
        callInProgress("101", "echo123");
        QVERIFY(!control().isRecording());
        QVERIFY(QDir().mkpath(m_env->path("later")));
        control().OnRecordButton();
        verifyShowsRecording();
        QCOMPARE(m_boxes->count(), 1);
    }

    // Stopping twice before the recording is finished finishes it once.
    void secondStopBeforeFinishChangesNothing()
    {
        callInProgress("101", "echo123");
        callInProgress("102", "alice");
        runFor(2);
        control().Stop();
        QVERIFY(control().isFinishPending());
        control().OnRecordButton(); // the button shows Start, but the recording is not finished yet
        control().OnPauseButton();
        control().Stop();
        QCOMPARE(m_counters.statusCode, int(RecordingCounters::Ready));
        settle();
        QVERIFY(!control().isFinishPending());
        QCOMPARE(records().size(), 1);
        QCOMPARE(m_view.historyItems.size(), 1);
        QCOMPARE(records().first().name, "echo123,alice");
        verifyShowsStopped();
    }

    // Stopping by hand leaves the calls running; the next start is a new file of the earliest
    // active call.
    void stopByHandThenStartAgain()
    {
        callInProgress("101", "echo123");
        runFor(4);
        control().OnRecordButton();
        settle();
        QVERIFY(m_view.recordEnabled);
        QVERIFY(calls().FindCall("101") >= 0);
        runFor(6);
        control().OnRecordButton();
        verifyShowsRecording();
        QCOMPARE(mp3Files(), (QStringList{"echo123_2013-05-04_13-07-09.mp3", "echo123_2013-05-04_13-07-19.mp3"}));
        callEnds("101");
        QCOMPARE(records().size(), 2);
        QCOMPARE(records().at(1).duration, 0);
    }

    // Nothing is started without an active call.
    void startWithoutCallDoesNothing()
    {
        QVERIFY(!control().Start());
        QCOMPARE(m_view.statusTexts, QStringList{});
        QCOMPARE(mp3Files(), QStringList{});
    }

    // The program ends during a recording, as the main window's end does it: the recording is
    // finished, with the time so far (an open pause left out) and the partners of its calls, and
    // its record reaches record.xml on disk before the audio and the store go. The window is
    // not told; a finish already posted by a stop does not add the record twice.
    void recordingAtExitIsEntered_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<bool>("aborted");
        QTest::addColumn<int>("duration");
        QTest::newRow("recording") << false << false << false << 12;
        QTest::newRow("paused") << true << false << false << 5;
        QTest::newRow("stopped, finish still posted") << false << true << false << 12;
        QTest::newRow("exit from the tray") << false << false << true << 12;
    }

    void recordingAtExitIsEntered()
    {
        QFETCH(bool, paused);
        QFETCH(bool, stopped);
        QFETCH(bool, aborted);
        QFETCH(int, duration);
        callInProgress("101", "echo123");
        callInProgress("102", "alice");
        pushAudio(1);
        QTRY_COMPARE(audio().mixWorker().queuedRemoteSide(), 0);
        runFor(5);
        if (paused)
            control().OnPauseButton();
        runFor(7);
        if (stopped)
            control().Stop();
        if (aborted)
            audio().mixWorker().Abort();

        control().FinishOnExit();
        QVERIFY(!control().isFinishPending());
        settle(); // a finish posted by the stop now finds nothing to do
        AudioCapture::destroyInstance();
        m_control.reset();
        RecordStore::DestroyInstance();

        QVERIFY(RecordStore::Instance().Open(m_env->path("record.xml")));
        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().name, "echo123,alice");
        QCOMPARE(stored.first().duration, duration);
        QCOMPARE(stored.first().file, folder() + "/echo123_2013-05-04_13-07-09.mp3");
        QCOMPARE(m_view.historyItems.size(), 0);
        const Mp3Probe probe(stored.first().file);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QVERIFY(probe.seconds() > 0.9);
    }

    // Without a recording, the end adds nothing.
    void exitWithoutRecordingAddsNothing()
    {
        callInProgress("101", "echo123");
        callEnds("101");
        control().FinishOnExit();
        QCOMPARE(records().size(), 1);
        QVERIFY(!control().isFinishPending());
    }
};

QTEST_GUILESS_MAIN(TestRecordingControl)
#include "tst_recordingcontrol.moc"
