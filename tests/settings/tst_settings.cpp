#include "platform/AppPaths.h"
#include "settings/AutostartEntry.h"
#include "settings/CGeneralProfile.h"
#include "settings/FileRegistryBackend.h"
#include "settings/RegistryFile.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTest>
#include <limits>
#include <sys/wait.h>
#include <unistd.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

const QString configKey = QStringLiteral("software\\Marrowick\\config");
const QByteArray configSection = "[software\\Marrowick\\config]\n";

const QStringList settingNames = {"autostart", "notifycov",   "notifyfinish",   "notifyhistory", "position",
                                  "hispos",    "starthide",   "topmost",        "sticksky",      "rectype",
                                  "recside",   "sfolder",     "amode",          "abitrate",      "asample",
                                  "chatreply", "onlinereply", "notonlinereply", "replytxt"};

// Dies where a write would put the new file in place, as a crash or power cut would.
class CrashBeforeRename : public FileRegistryBackend {
public:
    using FileRegistryBackend::FileRegistryBackend;
    static constexpr int exitCode = 42;

protected:
    bool replaceFile(QSaveFile&) override { _exit(exitCode); }
};

// The names of the stored values, in the order the file holds them.
QStringList storedNames(const QByteArray& contents)
{
    QStringList names;
    for (const QByteArray& line : contents.split('\n')) {
        if (line.startsWith('"'))
            names << QString::fromUtf8(line.mid(1, line.indexOf('"', 1) - 1));
    }
    return names;
}

QByteArray expectedEntry(const QByteArray& exec)
{
    return "[Desktop Entry]\nType=Application\nName=Tallowin Skype Recorder\nExec=" + exec + "\n";
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;

    QString settingsFile() const { return m_env->path(QStringLiteral(".config/Marrowick/settings.reg")); }

    QString entryPath() const { return m_env->path(QStringLiteral(".config/autostart/Marrowick.desktop")); }
    QByteArray readSettingsFile() const { return readFile(settingsFile()); }
    void writeSettingsFile(const QByteArray& contents) const { QVERIFY(writeFile(settingsFile(), contents)); }

    // The file as a program start would find it: sound, and holding every setting once.
    void verifySoundAndComplete() const
    {
        const QByteArray contents = readSettingsFile();
        QVERIFY(!RegistryFile::parse(contents).isDamaged());
        QStringList names = storedNames(contents);
        names.sort();
        QStringList expected = settingNames;
        expected.sort();
        QCOMPARE(names, expected);
    }

    static CGeneralProfile& restart()
    {
        CGeneralProfile::DestroyInstance();
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.Load();
        return profile;
    }

    std::unique_ptr<CRegisterAccess> freshAccess() const
    {
        return std::make_unique<CRegisterAccess>(std::make_unique<FileRegistryBackend>(settingsFile()));
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(m_env->isValid());
        CGeneralProfile::DestroyInstance();
    }

    void cleanup()
    {
        CGeneralProfile::DestroyInstance();
        m_env.reset();
    }

    // ---- first start and the stored values ----

    void firstStartStoresEveryDefault_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("autostart") << R"("autostart"=hex:00)";
        QTest::newRow("notifycov") << R"("notifycov"=hex:01)";
        QTest::newRow("notifyfinish") << R"("notifyfinish"=hex:01)";
        QTest::newRow("notifyhistory") << R"("notifyhistory"=hex:01)";
        QTest::newRow("position") << R"("position"="")";
        QTest::newRow("hispos") << R"("hispos"="")";
        QTest::newRow("starthide") << R"("starthide"=hex:00)";
        QTest::newRow("topmost") << R"("topmost"=hex:00)";
        QTest::newRow("sticksky") << R"("sticksky"=hex:00)";
        QTest::newRow("rectype") << R"("rectype"=hex:01)";
        QTest::newRow("recside") << R"("recside"=dword:00000000)";
        QTest::newRow("sfolder") << R"("sfolder"="HOME/Documents/Tallowin Skype Recorder")";
        QTest::newRow("amode") << R"("amode"=dword:00000001)";
        QTest::newRow("abitrate") << R"("abitrate"=dword:00000001)";
        QTest::newRow("asample") << R"("asample"=dword:00000001)";
        QTest::newRow("chatreply") << R"("chatreply"=hex:01)";
        QTest::newRow("onlinereply") << R"("onlinereply"=hex:00)";
        QTest::newRow("notonlinereply") << R"("notonlinereply"=hex:01)";
        QTest::newRow("replytxt") << R"("replytxt"="/me is not available for chat.")";
    }

    void firstStartStoresEveryDefault()
    {
        QFETCH(QString, line);
        QVERIFY(!QFile::exists(settingsFile()));
        CGeneralProfile::Instance().Load();
        line.replace(QStringLiteral("HOME"), m_env->home());
        QVERIFY2(QString::fromUtf8(readSettingsFile()).split(u'\n').contains(line), qPrintable(line));
    }

    void firstStartStoresAllNineteenInOrder()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.Load();
        verifySoundAndComplete();
        QCOMPARE(storedNames(readSettingsFile()), settingNames);
        QCOMPARE(readSettingsFile().count("\n["), 1);
        QCOMPARE(profile.sfolder, AppPaths::DefaultRecordingFolder());
        QCOMPARE(profile.replytxt, QStringLiteral("/me is not available for chat."));
        QVERIFY(!profile.isModified());
    }

    void storedValuesAreTakenAndMissingOnesAdded()
    {
        writeSettingsFile(configSection + "\"recside\"=dword:00000002\n\"abitrate\"=dword:00000002\n"
                                          "\"autostart\"=hex:01\n\"replytxt\"=\"Busy\"\n");
        CGeneralProfile& profile = restart();
        QCOMPARE(profile.recside, 2);
        QCOMPARE(profile.abitrate, 2);
        QCOMPARE(CGeneralProfile::bitrateFromIndex(profile.abitrate), 96);
        QCOMPARE(profile.autostart, true);
        QCOMPARE(profile.replytxt, QStringLiteral("Busy"));
        QCOMPARE(profile.asample, 1);
        const QStringList lines = QString::fromUtf8(readSettingsFile()).split(u'\n');
        QVERIFY(lines.contains(R"("recside"=dword:00000002)"));
        QVERIFY(lines.contains(R"("autostart"=hex:01)"));
        QCOMPARE(storedNames(readSettingsFile()).size(), settingNames.size());
    }

    void keyAndValueNamesIgnoreCase()
    {
        writeSettingsFile("[SOFTWARE\\marrowick\\Config]\n\"RecSide\"=dword:00000002\n");
        CGeneralProfile& profile = restart();
        QCOMPARE(profile.recside, 2);
        const QByteArray contents = readSettingsFile();
        QCOMPARE(contents.count("\n["), 1);
        QCOMPARE(contents.count("\"RecSide\"=dword:00000002"), 1);
        QCOMPARE(storedNames(contents).size(), settingNames.size());
    }

    // ---- round trips ----

    void everySettingSurvivesARestart()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.Load();
        profile.autostart = true;
        profile.notifycov = false;
        profile.notifyfinish = false;
        profile.notifyhistory = false;
        profile.position = QStringLiteral("1,2,3,4");
        profile.hispos = QStringLiteral("100,200,600,300");
        profile.starthide = true;
        profile.topmost = true;
        profile.sticksky = true;
        profile.rectype = false;
        profile.recside = 2;
        profile.sfolder = QStringLiteral("/srv/calls/Zoë's \"calls\"");
        profile.amode = 2;
        profile.abitrate = 5;
        profile.asample = 3;
        profile.chatreply = false;
        profile.onlinereply = true;
        profile.notonlinereply = false;
        profile.replytxt = QStringLiteral("Back at five.");
        profile.setModified();
        profile.Save();

        const CGeneralProfile& again = restart();
        QCOMPARE(again.autostart, true);
        QCOMPARE(again.notifycov, false);
        QCOMPARE(again.notifyfinish, false);
        QCOMPARE(again.notifyhistory, false);
        QCOMPARE(again.position, QStringLiteral("1,2,3,4"));
        QCOMPARE(again.hispos, QStringLiteral("100,200,600,300"));
        QCOMPARE(again.starthide, true);
        QCOMPARE(again.topmost, true);
        QCOMPARE(again.sticksky, true);
        QCOMPARE(again.rectype, false);
        QCOMPARE(again.recside, 2);
        QCOMPARE(again.sfolder, QStringLiteral("/srv/calls/Zoë's \"calls\""));
        QCOMPARE(again.amode, 2);
        QCOMPARE(again.abitrate, 5);
        QCOMPARE(again.asample, 3);
        QCOMPARE(again.chatreply, false);
        QCOMPARE(again.onlinereply, true);
        QCOMPARE(again.notonlinereply, false);
        QCOMPARE(again.replytxt, QStringLiteral("Back at five."));
        verifySoundAndComplete();
    }

    void everyTypeRoundTrips_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("flag set") << QVariant(true);
        QTest::newRow("flag clear") << QVariant(false);
        QTest::newRow("number 0") << QVariant(qint32(0));
        QTest::newRow("number 2") << QVariant(qint32(2));
        QTest::newRow("number -1") << QVariant(qint32(-1));
        QTest::newRow("largest number") << QVariant(std::numeric_limits<qint32>::max());
        QTest::newRow("smallest number") << QVariant(std::numeric_limits<qint32>::min());
        QTest::newRow("empty text") << QVariant(QString());
        QTest::newRow("text") << QVariant(QStringLiteral("Busy"));
        QTest::newRow("escapes") << QVariant(QStringLiteral("a \"quoted\" \\path\\ ; [x] = dword:1"));
        QTest::newRow("control characters") << QVariant(QStringLiteral("line 1\nline 2\r\n\ttab \x01 \x7f end"));
        QTest::newRow("null character") << QVariant(QString(QChar(0)) + QStringLiteral("after"));
        QTest::newRow("non-ASCII") << QVariant(QStringLiteral("Zoë ☎ 通話 🎙"));
    }

    void everyTypeRoundTrips()
    {
        QFETCH(QVariant, value);
        const QString name = QStringLiteral("value");
        const auto writer = freshAccess();
        const auto reader = freshAccess();
        switch (value.typeId()) {
        case QMetaType::Bool:
            QVERIFY(writer->writeFlag(configKey, name, value.toBool()));
            QCOMPARE(reader->readFlag(configKey, name, !value.toBool()), value.toBool());
            break;
        case QMetaType::Int:
            QVERIFY(writer->writeNumber(configKey, name, value.toInt()));
            QCOMPARE(reader->readNumber(configKey, name, 12345), value.toInt());
            break;
        default:
            QVERIFY(writer->writeText(configKey, name, value.toString()));
            QCOMPARE(reader->readText(configKey, name, QStringLiteral("default")), value.toString());
        }
        QVERIFY(!RegistryFile::parse(readSettingsFile()).isDamaged());
    }

    // ---- long texts ----

    void textsReadBackWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("259 characters") << QString(259, u'a');
        QTest::newRow("260 characters") << QString(260, u'b');
        QTest::newRow("512 characters") << QString(512, u'c');
        QString mixed;
        while (mixed.size() < 512)
            mixed += QStringLiteral("Zoë says \"back soon\"\\\n");
        mixed.truncate(512);
        QTest::newRow("512 characters with escapes") << mixed;
        QTest::newRow("4000 characters") << QString(4000, u'd');
    }

    void textsReadBackWhole()
    {
        QFETCH(QString, text);
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.replytxt = text;
        profile.setModified();
        profile.Save();
        QCOMPARE(restart().replytxt, text);
    }

    void shorterTextReplacesLongerOne()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.setModified();
        profile.replytxt = QStringLiteral("I am in a meeting until five o'clock, please write again later.");
        profile.Save();
        profile.replytxt = QStringLiteral("Busy");
        profile.Save();
        QCOMPARE(restart().replytxt, QStringLiteral("Busy"));
    }

    // ---- index tables ----

    void encoderValuesFromIndexes_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        const int bitrates[] = {32, 64, 96, 128, 192, 256};
        for (int i = 0; i < 6; ++i)
            QTest::addRow("abitrate %d", i) << "abitrate" << i << bitrates[i];
        QTest::newRow("abitrate 6") << "abitrate" << 6 << 0;
        QTest::newRow("abitrate -1") << "abitrate" << -1 << 0;
        const int rates[] = {16000, 32000, 44100, 48000};
        for (int i = 0; i < 4; ++i)
            QTest::addRow("asample %d", i) << "asample" << i << rates[i];
        QTest::newRow("asample 4") << "asample" << 4 << 0;
        QTest::newRow("asample -1") << "asample" << -1 << 0;
        QTest::newRow("amode 0 mono") << "amode" << 0 << 0;
        QTest::newRow("amode 1 stereo") << "amode" << 1 << 1;
        QTest::newRow("amode 2 joint stereo") << "amode" << 2 << 2;
        QTest::newRow("amode 3 mono") << "amode" << 3 << 0;
        QTest::newRow("amode -1 mono") << "amode" << -1 << 0;
    }

    void encoderValuesFromIndexes()
    {
        QFETCH(QString, setting);
        QFETCH(int, index);
        QFETCH(int, expected);
        if (setting == QLatin1String("abitrate"))
            QCOMPARE(CGeneralProfile::bitrateFromIndex(index), expected);
        else if (setting == QLatin1String("asample"))
            QCOMPARE(CGeneralProfile::sampleRateFromIndex(index), expected);
        else
            QCOMPARE(CGeneralProfile::channelModeFromIndex(index), expected);
    }

    // ---- saving ----

    void saveWithoutTheModifiedFlagWritesNothing()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.Save();
        QVERIFY(!QFile::exists(settingsFile()));

        profile.Load();
        const QByteArray before = readSettingsFile();
        profile.recside = 2;
        profile.Save();
        QCOMPARE(readSettingsFile(), before);
    }

    void everySaveAfterAChangeWritesAllValues()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.setModified();
        profile.Save();
        QVERIFY(profile.isModified());
        verifySoundAndComplete();

        // Whatever happened to the file meanwhile, the next save writes everything again.
        writeSettingsFile(configSection + "\"recside\"=dword:00000002\n");
        profile.Save();
        verifySoundAndComplete();
        QCOMPARE(restart().recside, 0);
    }

    // ---- bad stored values ----

    void wrongTypeGivesTheDefault_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("rewritten");
        QTest::newRow("number stored as text")
            << QByteArray(R"("recside"="2")") << QByteArray(R"("recside"=dword:00000000)");
        QTest::newRow("flag stored as number")
            << QByteArray(R"("autostart"=dword:00000001)") << QByteArray(R"("autostart"=hex:00)");
        QTest::newRow("flag of two bytes") << QByteArray(R"("topmost"=hex:01,01)") << QByteArray(R"("topmost"=hex:00)");
        QTest::newRow("flag of no bytes") << QByteArray(R"("rectype"=hex:)") << QByteArray(R"("rectype"=hex:01)");
        QTest::newRow("text stored as binary") << QByteArray(R"("replytxt"=hex:42,75,73,79)")
                                               << QByteArray(R"("replytxt"="/me is not available for chat.")");
        QTest::newRow("text stored as number")
            << QByteArray(R"("hispos"=dword:00000064)") << QByteArray(R"("hispos"="")");
    }

    void wrongTypeGivesTheDefault()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, rewritten);
        writeSettingsFile(configSection + stored + '\n');
        const CGeneralProfile& profile = restart();
        const QList<QByteArray> lines = readSettingsFile().split('\n');
        QVERIFY(!lines.contains(stored));
        QVERIFY(lines.contains(rewritten));
        CGeneralProfile defaults(std::make_unique<FileRegistryBackend>(QString()));
        QCOMPARE(profile.recside, defaults.recside);
        QCOMPARE(profile.autostart, defaults.autostart);
        QCOMPARE(profile.topmost, defaults.topmost);
        QCOMPARE(profile.rectype, defaults.rectype);
        QCOMPARE(profile.replytxt, defaults.replytxt);
        QCOMPARE(profile.hispos, defaults.hispos);
    }

    void damagedFileKeepsWhatCanBeRead_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("recside");
        QTest::addColumn<int>("abitrate");
        QTest::addColumn<bool>("damaged");

        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 7919) % 256);
        QTest::newRow("random bytes") << garbage << 0 << 1 << true;
        QTest::newRow("empty file") << QByteArray() << 0 << 1 << false;
        QTest::newRow("cut inside a number")
            << configSection + "\"recside\"=dword:00000002\n\"abitrate\"=dword:0000" << 2 << 1 << true;
        QTest::newRow("cut inside a text")
            << configSection + "\"recside\"=dword:00000002\n\"replytxt\"=\"Back at fi" << 2 << 1 << true;
        QTest::newRow("one bad line among good ones")
            << configSection + "\"recside\"=dword:00000002\nthis is not a setting\n\"abitrate\"=dword:00000003\n"
            << 2 << 3 << true;
        QTest::newRow("unknown escape") << configSection + "\"replytxt\"=\"a\\qb\"\n\"abitrate\"=dword:00000004\n"
                                        << 0 << 4 << true;
        QTest::newRow("value outside any key")
            << "\"recside\"=dword:00000002\n" + configSection + "\"abitrate\"=dword:00000000\n"
            << 0 << 0 << true;
        QTest::newRow("number of nine digits") << configSection + "\"recside\"=dword:100000002\n" << 0 << 1 << true;
        QTest::newRow("NUL bytes") << configSection + "\"recside\"=dword:00000002\n" + QByteArray(4, '\0') + '\n'
                                   << 2 << 1 << true;
        QTest::newRow("larger than a settings file")
            << configSection + "\"recside\"=dword:00000002\n\"position\"=\"" +
                   QByteArray(FileRegistryBackend::maxFileSize, 'x') + "\"\n\"abitrate\"=dword:00000005\n"
            << 2 << 1 << true;
    }

    void damagedFileKeepsWhatCanBeRead()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, recside);
        QFETCH(int, abitrate);
        QFETCH(bool, damaged);
        writeSettingsFile(contents);

        CGeneralProfile& profile = restart();
        QCOMPARE(profile.recside, recside);
        QCOMPARE(profile.abitrate, abitrate);
        QCOMPARE(profile.asample, 1);
        verifySoundAndComplete();
        QCOMPARE(QFile::exists(settingsFile() + ".damaged"), damaged);
        if (damaged) {
            QFile copy(settingsFile() + ".damaged");
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), contents);
        }

        profile.setModified();
        profile.Save();
        verifySoundAndComplete();
        QCOMPARE(restart().recside, recside);
    }

    void unreadableFileGivesDefaults_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("no read permission") << false;
        QTest::newRow("a folder in its place") << true;
    }

    void unreadableFileGivesDefaults()
    {
        QFETCH(bool, folder);
        if (folder) {
            QVERIFY(QDir().mkpath(settingsFile()));
        } else {
            if (geteuid() == 0)
                QSKIP("the superuser reads every file");
            writeSettingsFile(configSection + "\"recside\"=dword:00000002\n");
            QVERIFY(QFile::setPermissions(settingsFile(), QFileDevice::WriteOwner));
        }

        CGeneralProfile& profile = restart();
        QCOMPARE(profile.recside, 0);
        QCOMPARE(profile.replytxt, QStringLiteral("/me is not available for chat."));
        profile.setModified();
        profile.Save();
        if (!folder) {
            verifySoundAndComplete();
            QCOMPARE(restart().recside, 0);
        }
    }

    void crashBeforeRenameLeavesTheOldFileWhole()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.recside = 2;
        profile.replytxt = QString(512, u'r');
        profile.setModified();
        profile.Save();
        const QByteArray before = readSettingsFile();

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            CRegisterAccess access(std::make_unique<CrashBeforeRename>(settingsFile()));
            access.writeNumber(configKey, QStringLiteral("recside"), 1);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), CrashBeforeRename::exitCode);

        QCOMPARE(readSettingsFile(), before);
        CGeneralProfile& again = restart();
        QCOMPARE(again.recside, 2);
        QCOMPARE(again.replytxt, QString(512, u'r'));
        QVERIFY(!QFile::exists(settingsFile() + ".damaged"));

        // What the crash left behind does not disturb the next write.
        QVERIFY(freshAccess()->writeNumber(configKey, QStringLiteral("recside"), 1));
        QCOMPARE(restart().recside, 1);
        verifySoundAndComplete();
    }

    void aSaveTheDiskCannotTakeLeavesTheOldFileWhole()
    {
        CGeneralProfile& profile = CGeneralProfile::Instance();
        profile.setModified();
        profile.Save();
        const QByteArray before = readSettingsFile();
        {
            FileSizeLimit diskFull(static_cast<rlim_t>(before.size() + 20));
            profile.replytxt = QString(512, u'r');
            profile.Save();
            QCOMPARE(readSettingsFile(), before);
            QCOMPARE(QDir(QFileInfo(settingsFile()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"settings.reg"});
        }
        verifySoundAndComplete();
        QCOMPARE(restart().replytxt, QStringLiteral("/me is not available for chat."));
    }

    // ---- the file's lines ----

    void fileLinesAreUnderstood_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("canonical"); // empty: the line is not understood
        QTest::newRow("text") << QByteArray(R"("a"="x")") << QByteArray(R"("a"="x")");
        QTest::newRow("spaces around =") << QByteArray(R"(  "a" = dword:0000002A  )")
                                         << QByteArray(R"("a"=dword:0000002a)");
        QTest::newRow("escapes") << QByteArray("\"a\"=\"\\\\ \\\" \\n \\r \\t \\u0001 \\u00e9\"")
                                 << QByteArray("\"a\"=\"\\\\ \\\" \\n \\r \\t \\u0001 \xc3\xa9\"");
        QTest::newRow("escaped name") << QByteArray("\"a\\\"b\"=hex:01") << QByteArray("\"a\\\"b\"=hex:01");
        QTest::newRow("no bytes") << QByteArray(R"("a"=hex:)") << QByteArray(R"("a"=hex:)");
        QTest::newRow("bytes") << QByteArray(R"("a"=hex:01, FF,00)") << QByteArray(R"("a"=hex:01,ff,00)");
        QTest::newRow("CRLF line end") << QByteArray("\"a\"=dword:00000001\r") << QByteArray(R"("a"=dword:00000001)");
        QTest::newRow("short number") << QByteArray(R"("a"=dword:2a)") << QByteArray();
        QTest::newRow("number not hex") << QByteArray(R"("a"=dword:0000002g)") << QByteArray();
        QTest::newRow("byte of one digit") << QByteArray(R"("a"=hex:1)") << QByteArray();
        QTest::newRow("empty byte") << QByteArray(R"("a"=hex:01,,02)") << QByteArray();
        QTest::newRow("unterminated text") << QByteArray("\"a\"=\"x") << QByteArray();
        QTest::newRow("text then more") << QByteArray(R"("a"="x"y)") << QByteArray();
        QTest::newRow("short \\u") << QByteArray("\"a\"=\"\\u00\"") << QByteArray();
        QTest::newRow("backslash at the end") << QByteArray("\"a\"=\"x\\\"") << QByteArray();
        QTest::newRow("unknown type") << QByteArray(R"("a"=qword:0000000000000001)") << QByteArray();
        QTest::newRow("no =") << QByteArray(R"("a" "x")") << QByteArray();
        QTest::newRow("unquoted name") << QByteArray(R"(a="x")") << QByteArray();
    }

    void fileLinesAreUnderstood()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, canonical);
        const RegistryFile file = RegistryFile::parse("[k]\n" + line + "\n");
        QCOMPARE(file.isDamaged(), canonical.isEmpty());
        QCOMPARE(file.value(QStringLiteral("k"), QStringLiteral("a\"b")) ||
                     file.value(QStringLiteral("k"), QStringLiteral("a")),
                 !canonical.isEmpty());
        if (!canonical.isEmpty())
            QVERIFY(file.format().split('\n').contains(canonical));
    }

    void escapesDecode()
    {
        const RegistryFile file = RegistryFile::parse("[k]\n\"a\"=\"x\\\\y\\\"z\\n\\t\\u0041\\u00e9\"");
        const RegistryFile::Value* value = file.value(QStringLiteral("k"), QStringLiteral("a"));
        QVERIFY(value);
        QCOMPARE(value->text, QStringLiteral("x\\y\"z\n\tAé"));
    }

    // ---- start with the session ----

    // The Exec value must start exactly the program, whatever its path holds.
    void autostartCreatesTheMissingEntry_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("plain path") << "/usr/bin/tallowin-skype-recorder"
                                    << QByteArray(R"("/usr/bin/tallowin-skype-recorder")");
        QTest::newRow("spaces") << "/opt/Tallowin Skype Recorder/tallowin-skype-recorder"
                                << QByteArray(R"("/opt/Tallowin Skype Recorder/tallowin-skype-recorder")");
        QTest::newRow("field code sign") << "/opt/100%/recorder" << QByteArray(R"("/opt/100%%/recorder")");
        QTest::newRow("shell characters")
            << "/opt/a\"b`c$d\\e/recorder" << QByteArray("\"/opt/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e/recorder\"");
        QTest::newRow("non-ASCII") << QStringLiteral("/home/zoë/bin/recorder")
                                   << QStringLiteral("\"/home/zoë/bin/recorder\"").toUtf8();
    }

    void autostartCreatesTheMissingEntry()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, exec);
        AutostartEntry entry(program);
        QVERIFY(!entry.exists());
        entry.apply(true);
        QVERIFY(entry.exists());
        QCOMPARE(readFile(entryPath()), expectedEntry(exec));
    }

    void autostartStartsTheRunningProgram()
    {
        AutostartEntry().apply(true);
        const QString program = QCoreApplication::applicationFilePath();
        QVERIFY(!program.isEmpty());
        QCOMPARE(readFile(entryPath()), expectedEntry('"' + program.toUtf8() + '"'));
    }

    void autostartLeavesAnExistingEntry()
    {
        const QByteArray own =
            "[Desktop Entry]\nType=Application\nName=Recorder\nExec=/old/place/recorder\nHidden=true\n";
        QVERIFY(writeFile(entryPath(), own));
        AutostartEntry(QStringLiteral("/new/place/recorder")).apply(true);
        QCOMPARE(readFile(entryPath()), own);
    }

    void autostartClearedRemovesTheEntry()
    {
        AutostartEntry entry(QStringLiteral("/usr/bin/tallowin-skype-recorder"));
        entry.apply(true);
        QVERIFY(QFile::exists(entryPath()));
        entry.apply(false);
        QVERIFY(!QFile::exists(entryPath()));
        entry.apply(false);
        QVERIFY(!entry.exists());
    }

    void autostartFollowsTheConfigurationFolder()
    {
        const QString elsewhere = m_env->path(QStringLiteral("elsewhere"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(elsewhere));
        AutostartEntry entry(QStringLiteral("/usr/bin/tallowin-skype-recorder"));
        QCOMPARE(entry.location(), elsewhere + QStringLiteral("/autostart/Marrowick.desktop"));
        entry.apply(true);
        QVERIFY(QFile::exists(elsewhere + QStringLiteral("/autostart/Marrowick.desktop")));
        QVERIFY(!QFile::exists(entryPath()));
    }

    // A cut-off entry would be left as it is by every later start.
    void autostartOnAFullDiskLeavesNoEntry()
    {
        AutostartEntry entry(QStringLiteral("/usr/bin/tallowin-skype-recorder"));
        {
            FileSizeLimit diskFull(20);
            entry.apply(true);
        }
        QVERIFY(!entry.exists());
        entry.apply(true);
        QCOMPARE(readFile(entryPath()), expectedEntry(R"("/usr/bin/tallowin-skype-recorder")"));
    }

    void autostartFailuresAreSilent()
    {
        // A file where the autostart folder should be: the entry cannot be made.
        QDir().mkpath(m_env->path(QStringLiteral(".config")));
        QFile blocker(m_env->path(QStringLiteral(".config/autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        AutostartEntry entry(QStringLiteral("/usr/bin/tallowin-skype-recorder"));
        entry.apply(true);
        QVERIFY(!entry.exists());
        entry.apply(false);
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
