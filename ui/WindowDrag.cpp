#include "ui/WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

void WindowDrag::start(QWidget* window, const QMouseEvent& press)
{
    QWindow* handle = window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_following = true;
    m_offset = press.globalPosition().toPoint() - window->pos();
}

bool WindowDrag::follow(QWidget* window, const QMouseEvent& move)
{
    if (!m_following || !(move.buttons() & Qt::LeftButton))
        return false;
    window->move(move.globalPosition().toPoint() - m_offset);
    return true;
}

void WindowDrag::end(const QMouseEvent& release)
{
    if (release.button() == Qt::LeftButton)
        m_following = false;
}
