#pragma once

#include <QRect>

// The right and bottom edges of a rectangle on the screen as the windows' arithmetic counts them:
// just outside the rectangle, unlike QRect::right() and QRect::bottom().
namespace RectEdges {

inline int rightOf(const QRect& r)
{
    return r.x() + r.width();
}

inline int bottomOf(const QRect& r)
{
    return r.y() + r.height();
}

} // namespace RectEdges
