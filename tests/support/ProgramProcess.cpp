#include "support/ProgramProcess.h"

#include <QFileInfo>
#include <QTest>

ProgramProcess::ProgramProcess(const QString& program, const QString& home, const QString& runtime) : m_home(home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TSR_AUDIO_PORTS", "0,0");
    m_process.setProcessEnvironment(env);
    m_process.start(program, QStringList{});
}

ProgramProcess::~ProgramProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool ProgramProcess::waitUntilRunning()
{
    return QTest::qWaitFor(
               [this] { return QFileInfo::exists(recordingFolder()) || m_process.state() == QProcess::NotRunning; },
               20000) &&
           m_process.state() == QProcess::Running;
}

bool ProgramProcess::endsWhenAsked()
{
    m_process.terminate();
    return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit &&
           m_process.exitCode() == 0;
}
