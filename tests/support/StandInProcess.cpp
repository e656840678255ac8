#include "support/StandInProcess.h"

#include <QTest>

StandInProcess::StandInProcess(const QString& program, const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, QStringList{QStringLiteral("--stdin")} + arguments);
}

StandInProcess::~StandInProcess()
{
    kill();
}

bool StandInProcess::waitUntilReady()
{
    return QTest::qWaitFor([this] { return lines(QStringLiteral("event")).contains(QStringLiteral("ready")); }, 10000);
}

void StandInProcess::send(const QString& scriptLine)
{
    m_process.write(scriptLine.toUtf8() + '\n');
}

QStringList StandInProcess::lines(const QString& kind)
{
    readOutput();
    QStringList texts;
    for (const auto& [lineKind, text] : std::as_const(m_lines)) {
        if (lineKind == kind)
            texts.append(text);
    }
    return texts;
}

void StandInProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

void StandInProcess::readOutput()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
        // "HH:mm:ss.zzz kind text"
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() >= 2)
            m_lines.append({parts[1], line.section(QLatin1Char(' '), 2)});
    }
}
