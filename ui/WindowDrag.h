#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a window without a caption when the user drags its body, as a caption would: the window
// manager takes the move over where it can; without one the window follows the pointer itself.
class WindowDrag {
public:
    // A left-button press on the window's body.
    void start(QWidget* window, const QMouseEvent& press);
    // Moves the window with the pointer while the drag lasts; false when there is no drag to follow.
    bool follow(QWidget* window, const QMouseEvent& move);
    void end(const QMouseEvent& release);

private:
    bool m_following = false;
    QPoint m_offset;
};
