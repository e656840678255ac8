#pragma once

#include "skype/SkypeTransport.h"

#include <QByteArrayList>
#include <QStringList>

#include <mutex>

// A Skype client inside the same process, for the unit tests of the link. The test plays Skype:
// it answers with attach statuses and sends texts (on the user-interface thread, like the real
// transport does), sees what the link delivered, and decides whether deliveries succeed.
class InProcessSkypeTransport : public SkypeTransport {
public:
    bool open(Listener* listener) override;
    void close() override;
    void discover() override;
    bool deliver(const QByteArray& utf8) override;

    // Skype's side.
    void attach(int status);
    void send(const QString& text);
    void loseApiWindow();

    // What open() answers.
    void setOpenResult(bool result);
    // The next `count` deliveries fail, the ones after succeed.
    void failDeliveries(int count);

    bool isOpen() const;
    int discoverCount() const;
    // Every delivery attempt, failed ones included.
    int deliveryAttempts() const;
    // The texts Skype took, in their UTF-8 form.
    QByteArrayList delivered() const;
    QStringList deliveredTexts() const;

private:
    Listener* currentListener() const;

    mutable std::mutex m_mutex;
    Listener* m_listener = nullptr;
    bool m_openResult = true;
    bool m_open = false;
    int m_failures = 0;
    int m_attempts = 0;
    int m_discovers = 0;
    QByteArrayList m_delivered;
};
