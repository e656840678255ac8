#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

// A window's place kept in the hispos setting, "left,top,right,bottom".
class SavedWindowPosition {
public:
    // The saved left and top. The text is split at commas (empty pieces skipped); the first four
    // pieces are read as decimal numbers (leading digits, 0 when none). A position needs at
    // least three pieces, none of them negative.
    static std::optional<QPoint> parse(const QString& hispos);
    // The text kept for a window rectangle on the screen; right and bottom lie just outside it.
    static QString format(const QRect& window);
    // Whether the window lies strictly inside the work area, not touching its edges.
    static bool liesInside(const QRect& window, const QRect& workArea);
};
