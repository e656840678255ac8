#pragma once

#include <QByteArray>
#include <QString>

// Attach statuses Skype reports to a program that asked for its API.
constexpr int SKYPE_ATTACH_SUCCESS = 0;
constexpr int SKYPE_ATTACH_PENDING_AUTHORIZATION = 1;
constexpr int SKYPE_ATTACH_REFUSED = 2;
constexpr int SKYPE_ATTACH_NOT_AVAILABLE = 3;
constexpr int SKYPE_ATTACH_API_AVAILABLE = 0x8001;

// How texts travel between the link and the Skype client. The link never knows which transport
// it talks through: the session bus for the real client, a loopback in the unit tests.
//
// Threads: open, close and discover are called on the user-interface thread, and the listener
// is only ever called there. deliver is called on the link's sender thread and may block.
class SkypeTransport {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Skype answered a discover, or announced that its API became available.
        virtual void onAttachStatus(int status) = 0;
        // A text from Skype's API window: a notification or the answer to a delivered command.
        virtual void onText(const QString& text) = 0;
        // Skype's API window went away (the client ended or gave up its API).
        virtual void onApiWindowGone() = 0;
    };

    virtual ~SkypeTransport() = default;

    // Sets up the program's side (its own API window); false when that is impossible.
    virtual bool open(Listener* listener) = 0;
    // Tears the program's side down; the listener is not called any more.
    virtual void close() = 0;
    // Asks any Skype client present to attach the program. Never blocks; the answer arrives
    // later as an attach status.
    virtual void discover() = 0;
    // Hands one command, in its UTF-8 form without terminator, to Skype's API window and waits
    // until Skype has taken it. False when it was not delivered (no Skype window known, Skype
    // gone or not answering).
    virtual bool deliver(const QByteArray& utf8) = 0;
};
