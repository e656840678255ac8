#include "ui/SavedWindowPosition.h"

#include "ui/RectEdges.h"

#include <QList>
#include <QStringList>
#include <cstdlib>
#include <limits>

using RectEdges::bottomOf;
using RectEdges::rightOf;

std::optional<QPoint> SavedWindowPosition::parse(const QString& hispos)
{
    const QStringList tokens = hispos.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QList<long> values;
    for (const QString& token : tokens.mid(0, 4))
        values.append(std::strtol(token.toLatin1().constData(), nullptr, 10));
    if (values.size() < 3)
        return std::nullopt;
    for (long value : values)
        if (value < 0)
            return std::nullopt;
    constexpr long largest = std::numeric_limits<int>::max();
    return QPoint(int(qMin(values[0], largest)), int(qMin(values[1], largest)));
}

QString SavedWindowPosition::format(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(rightOf(r)).arg(bottomOf(r));
}

bool SavedWindowPosition::liesInside(const QRect& w, const QRect& area)
{
    return area.x() < w.x() && area.y() < w.y() && bottomOf(w) < bottomOf(area) && rightOf(w) < rightOf(area);
}
