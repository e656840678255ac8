#include "history/RecordStore.h"
#include "recording/RecordingControl.h"
#include "support/Mp3Probe.h"
#include "support/ProgramProcess.h"
#include "support/StandInProcess.h"
#include "support/TestEnvironment.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {
// Generous: a call's whole life, with the program and the stand-in starting beside it.
constexpr int CallTimeoutMs = 60000;
} // namespace

// The program's main job with everything real: the program and the stand-in Skype client as
// separate processes on the test's own session bus, the call's audio over TCP on free ports, the
// MP3 file decoded back, record.xml read from disk.
class TestE2eRecording : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<StandInProcess> m_skype;
    std::unique_ptr<ProgramProcess> m_program;

    // The stand-in first, so that the program attaches at once; then the program, attached.
    void startBoth()
    {
        m_skype = std::make_unique<StandInProcess>(TSR_SKYPE_STANDIN);
        QVERIFY(m_skype->waitUntilReady());
        m_program = std::make_unique<ProgramProcess>(TSR_PROGRAM, m_env->home(), m_env->path("run"));
        QVERIFY(m_program->waitUntilRunning());
        QVERIFY(QTest::qWaitFor([this] { return m_skype->commands().contains("search friends"); }, CallTimeoutMs));
    }

    QStringList mp3Files() const
    {
        return QDir(m_program->recordingFolder()).entryList({"*.mp3"}, QDir::Files, QDir::Name);
    }

    bool historyHasARecord() const
    {
        QFile file(m_program->historyFile());
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("<rec");
    }

    bool callEnded(const QString& id) { return m_skype->lines("notify").contains("CALL " + id + " STATUS FINISHED"); }

    // The records on disk, read once the program has ended.
    QList<RecordEntry> records() const
    {
        RecordStore& store = RecordStore::Instance();
        store.Open(m_program->historyFile());
        QList<RecordEntry> entries;
        for (int i = 0; i < store.Count(); ++i) {
            RecordEntry entry;
            if (store.GetAt(i, entry))
                entries.append(entry);
        }
        RecordStore::DestroyInstance();
        return entries;
    }

private slots:
    void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

    void init() { m_env = std::make_unique<TestEnvironment>(); }

    void cleanup()
    {
        m_program.reset();
        m_skype.reset();
        m_env.reset();
    }

    // An incoming 5 s call from echo123: one MP3 named after echo123 and the local start time,
    // about 5 s long, my side (440 Hz) left and the remote side (880 Hz) right, and its record.
    void incomingCallBecomesMp3AndRecord()
    {
        startBoth();
        m_skype->send("incoming-call echo123 1 5");
        QVERIFY(QTest::qWaitFor([this] { return historyHasARecord(); }, CallTimeoutMs));
        QVERIFY(callEnded("101"));
        QVERIFY(m_program->endsWhenAsked());

        const QStringList files = mp3Files();
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression(R"(^echo123_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.mp3$)").match(files.first()).hasMatch(),
                 qPrintable(files.first()));
        const QString path = m_program->recordingFolder() + "/" + files.first();

        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        const RecordEntry& entry = stored.first();
        QCOMPARE(entry.name, "echo123");
        QCOMPARE(entry.type, 1);
        QVERIFY2(entry.duration >= 4 && entry.duration <= 7, qPrintable(QString::number(entry.duration)));
        QCOMPARE(entry.isNew, true);
        QCOMPARE(entry.file, path);
        // The file is stamped with the local time the record holds as its start.
        QCOMPARE(RecordingControl::MakeFileName("echo123", entry.time.toLongLong()) + ".mp3", files.first());

        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QVERIFY2(probe.seconds() > 4.0 && probe.seconds() < 6.5, qPrintable(QString::number(probe.seconds())));
        QCOMPARE(probe.channels(), 2);
        // A stretch from the middle of the call: my side left, the remote side right.
        const std::int64_t middle = probe.frames() / 2;
        const std::int64_t second = probe.sampleRate();
        QVERIFY(probe.toneAmplitude(0, 440, middle, second) > 1000);
        QVERIFY(probe.toneAmplitude(0, 440, middle, second) > 10 * probe.toneAmplitude(0, 880, middle, second));
        QVERIFY(probe.toneAmplitude(1, 880, middle, second) > 1000);
        QVERIFY(probe.toneAmplitude(1, 880, middle, second) > 10 * probe.toneAmplitude(1, 440, middle, second));
    }

    // A second call joins while the first is in progress and outlasts it: one file, ended with
    // the second call, whose record names both partners in the order they joined.
    void overlappingCallsMakeOneRecording()
    {
        startBoth();
        m_skype->send("incoming-call echo123 1 5");
        QVERIFY(QTest::qWaitFor([this] { return !mp3Files().isEmpty(); }, CallTimeoutMs));
        m_skype->send("incoming-call alice 0.5 -");
        QVERIFY(QTest::qWaitFor([this] { return callEnded("101"); }, CallTimeoutMs));
        QTest::qWait(1500);
        QVERIFY(!historyHasARecord()); // alice's call goes on, and so does the recording
        m_skype->send("hangup 102");
        QVERIFY(QTest::qWaitFor([this] { return historyHasARecord(); }, CallTimeoutMs));
        QVERIFY(m_program->endsWhenAsked());

        QCOMPARE(mp3Files().size(), 1);
        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().name, "echo123,alice");
        QVERIFY2(stored.first().duration >= 6, qPrintable(QString::number(stored.first().duration)));
        const Mp3Probe probe(stored.first().file);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QVERIFY2(probe.seconds() > 5.0, qPrintable(QString::number(probe.seconds())));
    }

    // The program is asked to end during a call: the recording is finished, its file closed
    // and playable, and its record is in record.xml.
    void recordingAtExitIsEntered()
    {
        startBoth();
        m_skype->send("incoming-call echo123 0.5 -");
        QVERIFY(QTest::qWaitFor([this] { return !mp3Files().isEmpty(); }, CallTimeoutMs));
        const QString path = m_program->recordingFolder() + "/" + mp3Files().first();
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(path).size() > 8000; }, CallTimeoutMs)); // audio is written
        QVERIFY(!historyHasARecord());
        QVERIFY(m_program->endsWhenAsked());

        const QList<RecordEntry> stored = records();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().name, "echo123");
        QCOMPARE(stored.first().file, path);
        const Mp3Probe probe(path);
        QVERIFY2(probe.isValid(), qPrintable(probe.error()));
        QVERIFY(probe.seconds() > 0.5);
    }
};

QTEST_GUILESS_MAIN(TestE2eRecording)
#include "tst_e2e_recording.moc"
