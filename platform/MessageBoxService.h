#pragma once

#include <QString>

class QObject;

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    QObject* owner = nullptr; // the owning window, or nullptr for a box without owner
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Shows a message box and returns the button pressed. The core never opens windows itself:
// the user interface installs a presenter that shows real boxes; without one, nothing is
// shown and the answer is the box's negative button (Cancel, No, or Ok for a lone Ok).
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // May be called from any thread.
    virtual MessageResult present(const MessageRequest& request) = 0;
};

class MessageBoxService {
public:
    static MessageResult show(const MessageRequest& request);
    // Installs the presenter (not owned); nullptr removes it.
    static void install(MessagePresenter* presenter);
};
