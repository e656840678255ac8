#include "StdinReader.h"

#include <QSocketNotifier>

#include <unistd.h>

StdinReader::StdinReader(QObject* parent)
    : QObject(parent), m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &StdinReader::readAvailable);
}

void StdinReader::readAvailable()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        m_notifier->setEnabled(false);
        if (!m_pending.isEmpty())
            emit lineRead(QString::fromUtf8(m_pending));
        m_pending.clear();
        emit endOfInput();
        return;
    }
    m_pending.append(buffer, n);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        emit lineRead(QString::fromUtf8(line));
    }
}
