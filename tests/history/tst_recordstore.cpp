#include "history/RecordStore.h"
#include "support/FakeClock.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

const QByteArray declaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)";

RecordEntry entry(const QString& name, const QString& time)
{
    RecordEntry e;
    e.name = name;
    e.time = time;
    e.file = QStringLiteral("/Rec/") + name + QStringLiteral(".mp3");
    return e;
}

QByteArray record(const QByteArray& element, const QByteArray& name, const QByteArray& time)
{
    return "<" + element + "><name>" + name + "</name><time>" + time + "</time><file>/Rec/" + name +
           ".mp3</file><type>3</type><duration>0</duration><new>true</new><note/></" + element + ">";
}

} // namespace

class TestRecordStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeClock> m_clock;
    QString m_path;

    RecordStore& store() { return RecordStore::Instance(); }
    QStringList folderEntries() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("record.xml"));
        m_clock = std::make_unique<FakeClock>(1357831908); // 2013-01-10 15:31:48 UTC
    }

    void cleanup()
    {
        RecordStore::DestroyInstance();
        m_clock.reset();
        m_dir.reset();
    }

    void withoutDocumentNothingHappens()
    {
        QCOMPARE(store().Count(), 0);
        QVERIFY(!store().Open(QString()));
        QCOMPARE(store().Count(), 0);
        RecordEntry read;
        QVERIFY(!store().GetAt(0, read));
        QVERIFY(!store().Add(entry("alice", "1")));
        QVERIFY(!store().Find("alice", "1"));
        QVERIFY(!store().MarkPlayed("alice", "1"));
        QVERIFY(!store().Remove("alice", "1"));
    }

    void newFileHoldsDeclarationAndOneRecord()
    {
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 0);
        QVERIFY2(!QFile::exists(m_path), "the file is created by the first save");

        RecordEntry e;
        QCOMPARE(e.type, 3);
        QCOMPARE(e.isNew, true);
        e.name = "alice.smith";
        e.time = "1357831812";
        e.file = "/home/u/Documents/Tallowin Skype Recorder/alice.smith_2013-01-10_16-30-12.mp3";
        e.type = 2;
        e.duration = 95;
        QVERIFY(store().Add(e));

        QCOMPARE(readFile(m_path), declaration +
                                       "<corvane><list><rec20130110153148><name>alice.smith</name>"
                                       "<time>1357831812</time><file>/home/u/Documents/Tallowin Skype Recorder/"
                                       "alice.smith_2013-01-10_16-30-12.mp3</file><type>2</type>"
                                       "<duration>95</duration><new>true</new><note/></rec20130110153148>"
                                       "</list></corvane>");
        QCOMPARE(folderEntries(), QStringList{"record.xml"});
    }

    void fieldsSurviveTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QByteArray>("stored");

        QTest::newRow("CR LF becomes the word") << "echo123"
                                                << "a\r\nb" << QByteArray("<note>aalineddb</note>");
        QTest::newRow("lone LF kept") << "echo123"
                                      << "a\nb" << QByteArray("<note>a\nb</note>");
        QTest::newRow("markup characters") << "a<b>&c"
                                           << "x & <y>" << QByteArray("<note>x &amp; &lt;y&gt;</note>");
        QTest::newRow("not ASCII") << QString::fromUtf8("zoë,日本") << QString::fromUtf8("ça\r\nva")
                                   << QByteArray("<note>\xc3\xa7"
                                                 "aalineddva</note>");
    }

    void fieldsSurviveTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, note);
        QFETCH(QByteArray, stored);

        RecordEntry e = entry(name, "1367672829");
        e.note = note;
        e.type = 1;
        e.duration = 86400 * 2;
        e.isNew = false;
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(e));
        QVERIFY2(readFile(m_path).contains(stored), readFile(m_path).constData());

        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 1);
        RecordEntry read;
        QVERIFY(store().GetAt(0, read));
        QCOMPARE(read, e);
    }

    void handEditedRecordsRead_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QByteArray>("savedAgain");

        const QByteArray head = "<rec1><name>bob</name><time>7</time><file>/f.mp3</file>";
        QTest::newRow("TRUE") << head + "<type>1</type><duration>5</duration><new>TRUE</new><note/></rec1>" << 1 << true
                              << 5 << head + "<type>1</type><duration>5</duration><new>TRUE</new><note/></rec1>";
        QTest::newRow("False") << head + "<type>2</type><duration>5</duration><new>False</new><note/></rec1>" << 2
                               << false << 5
                               << head + "<type>2</type><duration>5</duration><new>False</new><note/></rec1>";
        QTest::newRow("yes is rewritten false")
            << head + "<type>2</type><duration>5</duration><new>yes</new><note/></rec1>" << 2 << false << 5
            << head + "<type>2</type><duration>5</duration><new>false</new><note/></rec1>";
        QTest::newRow("empty type reads 0")
            << head + "<type/><duration>5</duration><new>true</new><note/></rec1>" << 0 << true << 5
            << head + "<type>0</type><duration>5</duration><new>true</new><note/></rec1>";
        QTest::newRow("junk after digits")
            << head + "<type>2x</type><duration>abc</duration><new>true</new></rec1>" << 2 << true << 0
            << head + "<type>2x</type><duration>abc</duration><new>true</new><note/></rec1>";
        QTest::newRow("missing elements added in reading order")
            << QByteArray("<rec1><name>bob</name><time>7</time></rec1>") << 0 << false << 0
            << QByteArray("<rec1><name>bob</name><time>7</time><file/><type>0</type><new>false</new>"
                          "<duration>0</duration><note/></rec1>");
        QTest::newRow("indented file") << "\n  " + head +
                                              "\n    <type>1</type>\n    <duration>5</duration>\n    "
                                              "<new>true</new>\n    <note/>\n  </rec1>\n"
                                       << 1 << true << 5
                                       << head + "<type>1</type><duration>5</duration><new>true</new><note/></rec1>";
    }

    void handEditedRecordsRead()
    {
        QFETCH(QByteArray, written);
        QFETCH(int, type);
        QFETCH(bool, isNew);
        QFETCH(int, duration);
        QFETCH(QByteArray, savedAgain);

        QVERIFY(writeFile(m_path, "<?xml version=\"1.0\"?>\n<corvane>\n<list>" + written + "</list>\n</corvane>\n"));
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 1);
        RecordEntry read;
        QVERIFY(store().GetAt(0, read));
        QCOMPARE(read.name, "bob");
        QCOMPARE(read.type, type);
        QCOMPARE(read.isNew, isNew);
        QCOMPARE(read.duration, duration);

        // Reading changes nothing on disk; the next save writes what reading repaired, and
        // keeps the file's own declaration.
        QVERIFY(store().Add(entry("carol", "8")));
        QCOMPARE(readFile(m_path), "<?xml version=\"1.0\"?><corvane><list>" + savedAgain +
                                       record("rec20130110153148", "carol", "8") + "</list></corvane>");
    }

    void duplicatesAreRefusedIgnoringCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("time");

        QTest::newRow("same") << "Echo123"
                              << "1367672829";
        QTest::newRow("other case") << "ECHO123"
                                    << "1367672829";
        QTest::newRow("other case, not ASCII") << QString::fromUtf8("ÉCHO123") << "1367672829";
    }

    void duplicatesAreRefusedIgnoringCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, time);

        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("Echo123", "1367672829")));
        QVERIFY(store().Add(entry(QString::fromUtf8("écho123"), "1367672829")));
        const QByteArray before = readFile(m_path);

        QVERIFY(store().Find(name, time));
        QVERIFY(!store().Add(entry(name, time)));
        QCOMPARE(store().Count(), 2);
        QCOMPARE(readFile(m_path), before);
        QVERIFY(store().Add(entry(name, "1367672830")));
        QCOMPARE(store().Count(), 3);
    }

    void aCommentInTheListIsPassedOver()
    {
        QVERIFY(writeFile(m_path, "<corvane><list>" + record("rec1", "alice", "1") + "<!-- kept by hand -->" +
                                      record("rec2", "bob", "2") + "</list></corvane>"));
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 3);
        RecordEntry read;
        QVERIFY(store().GetAt(0, read));
        QCOMPARE(read.name, "alice");
        QVERIFY(!store().GetAt(1, read));
        QVERIFY(store().GetAt(2, read));
        QCOMPARE(read.name, "bob");
        QVERIFY(!store().GetAt(3, read));
        QVERIFY(!store().GetAt(-1, read));

        // The records behind the comment can still be found, played and removed.
        QVERIFY(store().MarkPlayed("bob", "2"));
        QVERIFY(!store().Add(entry("bob", "2")));
        QVERIFY(store().Remove("alice", "1"));
        QCOMPARE(readFile(m_path), "<corvane><list><!-- kept by hand -->" +
                                       record("rec2", "bob", "2").replace("true", "false") + "</list></corvane>");
    }

    void removingTheOnlyRecordLeavesAnEmptyList()
    {
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("alice", "1")));
        QVERIFY(!store().Remove("alice", "2"));
        QVERIFY(store().Remove("ALICE", "1"));
        QCOMPARE(store().Count(), 0);
        QCOMPARE(readFile(m_path), declaration + "<corvane><list/></corvane>");
        QVERIFY(!store().Remove("alice", "1"));
    }

    void markPlayedClearsTheNewFlag()
    {
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("alice", "1")));
        QVERIFY(store().Add(entry("bob", "2")));
        QVERIFY(!store().MarkPlayed("carol", "1"));
        QVERIFY(store().MarkPlayed("Bob", "2"));

        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        RecordEntry read;
        QVERIFY(store().GetAt(0, read));
        QCOMPARE(read.isNew, true);
        QVERIFY(store().GetAt(1, read));
        QCOMPARE(read.isNew, false);
    }

    void twoRecordsInTheSameSecondStayTwo()
    {
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("alice", "1")));
        QVERIFY(store().Add(entry("bob", "2")));
        QCOMPARE(readFile(m_path), declaration + "<corvane><list>" + record("rec20130110153148", "alice", "1") +
                                       record("rec20130110153148", "bob", "2") + "</list></corvane>");
        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 2);
        RecordEntry first, second;
        QVERIFY(store().GetAt(0, first));
        QVERIFY(store().GetAt(1, second));
        QCOMPARE(first.name, "alice");
        QCOMPARE(second.name, "bob");
    }

    void anUnreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("cut short") << QByteArray("<?xml version=\"1.0\"?><corvane><list>") +
                                          record("rec1", "alice", "1") + "<rec2><name>bo";
        QTest::newRow("mismatched tags") << QByteArray("<corvane><list></corvane>");
        QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe garbage", 13);
        QTest::newRow("empty") << QByteArray();
    }

    void anUnreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, content);

        // A file kept aside earlier in the same second is not replaced either.
        const QString earlier = m_path + ".corrupt-20130110153148";
        QVERIFY(writeFile(earlier, "earlier"));
        QVERIFY(writeFile(m_path, content));

        QVERIFY(!store().Open(m_path));
        QCOMPARE(store().Count(), 0);
        QCOMPARE(store().setAsideFile(), earlier + "-2");
        QCOMPARE(readFile(store().setAsideFile()), content);
        QCOMPARE(readFile(earlier), QByteArray("earlier"));

        QVERIFY(store().Add(entry("bob", "2")));
        QCOMPARE(readFile(m_path), "<corvane><list>" + record("rec20130110153148", "bob", "2") + "</list></corvane>");
        QCOMPARE(readFile(store().setAsideFile()), content);
    }

    void anInterruptedSaveLeavesTheOldFileWhole()
    {
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("alice", "1")));
        const QByteArray saved = readFile(m_path);
        // What a crash between writing the new file and renaming it leaves behind.
        QVERIFY(writeFile(m_path + ".pZ3xQa", saved.left(saved.size() / 2)));

        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 1);
        QVERIFY(store().Add(entry("bob", "2")));
        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 2);
        QVERIFY(store().setAsideFile().isEmpty());
    }

    void aFailedSaveKeepsTheOldFileAndTheChange()
    {
        QVERIFY(store().Open(m_path));
        QVERIFY(store().Add(entry("alice", "1")));
        const QByteArray before = readFile(m_path);
        {
            FileSizeLimit diskFull(static_cast<rlim_t>(before.size() + 20));
            QVERIFY(store().Add(entry("bob", "2")));
            QVERIFY(store().MarkPlayed("alice", "1"));
            QCOMPARE(readFile(m_path), before);
            QCOMPARE(folderEntries(), QStringList{"record.xml"});
        }
        QVERIFY(store().Add(entry("carol", "3")));

        RecordStore::DestroyInstance();
        QVERIFY(store().Open(m_path));
        QCOMPARE(store().Count(), 3);
        RecordEntry read;
        QVERIFY(store().GetAt(0, read));
        QCOMPARE(read.isNew, false);
        QVERIFY(store().GetAt(1, read));
        QCOMPARE(read.name, "bob");
    }

    void aVanishedFolderKeepsTheChangeUntilItIsBack()
    {
        const QString folder = m_dir->filePath("Tallowin");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/record.xml";
        QVERIFY(store().Open(path));
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(store().Add(entry("alice", "1")));
        QVERIFY(!QFile::exists(path));

        QVERIFY(QDir().mkpath(folder));
        QVERIFY(store().Add(entry("bob", "2")));
        RecordStore::DestroyInstance();
        QVERIFY(store().Open(path));
        QCOMPARE(store().Count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
