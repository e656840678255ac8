#include "skype/InProcessSkypeTransport.h"

bool InProcessSkypeTransport::open(Listener* listener)
{
    std::lock_guard lock(m_mutex);
    if (!m_openResult)
        return false;
    m_listener = listener;
    m_open = true;
    return true;
}

void InProcessSkypeTransport::close()
{
    std::lock_guard lock(m_mutex);
    m_listener = nullptr;
    m_open = false;
}

void InProcessSkypeTransport::discover()
{
    std::lock_guard lock(m_mutex);
    ++m_discovers;
}

bool InProcessSkypeTransport::deliver(const QByteArray& utf8)
{
    std::lock_guard lock(m_mutex);
    ++m_attempts;
    if (!m_open)
        return false;
    if (m_failures > 0) {
        --m_failures;
        return false;
    }
    m_delivered.append(utf8);
    return true;
}

// The listener is called without the lock: the link may deliver from its own thread meanwhile.
void InProcessSkypeTransport::attach(int status)
{
    if (Listener* listener = currentListener())
        listener->onAttachStatus(status);
}

void InProcessSkypeTransport::send(const QString& text)
{
    if (Listener* listener = currentListener())
        listener->onText(text);
}

void InProcessSkypeTransport::loseApiWindow()
{
    if (Listener* listener = currentListener())
        listener->onApiWindowGone();
}

void InProcessSkypeTransport::setOpenResult(bool result)
{
    std::lock_guard lock(m_mutex);
    m_openResult = result;
}

void InProcessSkypeTransport::failDeliveries(int count)
{
    std::lock_guard lock(m_mutex);
    m_failures = count;
}

SkypeTransport::Listener* InProcessSkypeTransport::currentListener() const
{
    std::lock_guard lock(m_mutex);
    return m_listener;
}

bool InProcessSkypeTransport::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

int InProcessSkypeTransport::discoverCount() const
{
    std::lock_guard lock(m_mutex);
    return m_discovers;
}

int InProcessSkypeTransport::deliveryAttempts() const
{
    std::lock_guard lock(m_mutex);
    return m_attempts;
}

// Copies into a list of its own: the sender thread goes on appending meanwhile.
QByteArrayList InProcessSkypeTransport::delivered() const
{
    std::lock_guard lock(m_mutex);
    QByteArrayList copy;
    copy.reserve(m_delivered.size());
    for (const QByteArray& utf8 : m_delivered)
        copy.append(utf8);
    return copy;
}

QStringList InProcessSkypeTransport::deliveredTexts() const
{
    QStringList texts;
    const QByteArrayList all = delivered();
    for (const QByteArray& utf8 : all)
        texts.append(QString::fromUtf8(utf8));
    return texts;
}
