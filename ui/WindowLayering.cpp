#include "ui/WindowLayering.h"

#include <QWidget>
#include <QWindow>

namespace WindowLayering {

void setStaysOnTop(QWidget* window, bool onTop)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (flags == window->windowFlags())
        return;
    // Telling the existing window keeps it where it is; QWidget::setWindowFlags would make a
    // new one and hide it.
    if (QWindow* handle = window->windowHandle()) {
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

bool staysOnTop(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace WindowLayering
