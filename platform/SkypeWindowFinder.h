#pragma once

#include <QRect>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>

// Finds the Skype client's main window on the desktop and moves it, so the main window can stick
// to it. The desktop's implementation is chosen by the build (X11 on Linux); tests use their own.
class SkypeWindowFinder {
public:
    using WindowId = quint64; // 0: no window

    virtual ~SkypeWindowFinder() = default;

    // A top-level window of class "tSkMainForm.UnicodeClass", else one of class "tSkMainForm";
    // 0 when there is none.
    virtual WindowId findSkypeWindow() = 0;
    // The window's rectangle on the screen, its frame included; nothing once the window is gone.
    virtual std::optional<QRect> windowRect(WindowId window) = 0;
    // Moves and sizes the window so that its rectangle, frame included, becomes the given one.
    virtual bool moveWindow(WindowId window, const QRect& rect) = 0;
    // Shows the window normally (not minimised, not hidden) and brings it to the front.
    virtual void showNormalAndRaise(WindowId window) = 0;

    // The class names looked for, in order.
    static QStringList skypeClassNames()
    {
        return {QStringLiteral("tSkMainForm.UnicodeClass"), QStringLiteral("tSkMainForm")};
    }

    // The desktop's finder; one that finds nothing when there is no desktop to look at.
    static std::unique_ptr<SkypeWindowFinder> create();
};
