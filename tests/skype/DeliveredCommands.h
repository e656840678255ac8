#pragma once

#include "skype/InProcessSkypeTransport.h"
#include "skype/SkypeLink.h"

#include <QTest>

// Reads what the link's sender thread delivered to a Skype played through the in-process
// transport. A marker pushed behind the queued commands shows that everything queued before it
// has been dealt with (when the queue is open); markers are left out of the result.
class DeliveredCommands {
public:
    explicit DeliveredCommands(InProcessSkypeTransport& skype) : m_skype(skype) {}

    // The texts Skype took since the last call.
    QStringList newlyDelivered()
    {
        const QString marker = QStringLiteral("#marker ") + QString::number(++m_markers);
        if (SkypeLink::LinkInstance().PushCommand(marker)) {
            if (!QTest::qWaitFor([this, marker] { return m_skype.deliveredTexts().endsWith(marker); }))
                return {QStringLiteral("(sender thread stuck)")};
        }
        const QStringList all = m_skype.deliveredTexts();
        QStringList fresh = all.mid(m_seen);
        m_seen = static_cast<int>(all.size());
        fresh.removeIf([](const QString& text) { return text.startsWith(QLatin1String("#marker ")); });
        return fresh;
    }

private:
    InProcessSkypeTransport& m_skype;
    int m_seen = 0;
    int m_markers = 0;
};
