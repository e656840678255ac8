#include "StandInLog.h"

#include <QTime>

#include <cstdio>

bool StandInLog::openFile(const QString& path)
{
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void StandInLog::write(const QString& kind, const QString& text)
{
    const QByteArray line = (QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ') + kind +
                             QLatin1Char(' ') + text)
                                .toUtf8() +
                            '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
    if (m_file.isOpen()) {
        m_file.write(line);
        m_file.flush();
    }
}
