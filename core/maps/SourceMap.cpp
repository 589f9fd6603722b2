#include "SourceMap.h"

#include <algorithm>

namespace lumora {

SourceMap SourceMap::failed(const QString &error)
{
    SourceMap map;
    map.error = error;
    return map;
}

bool orderByIndex(QList<IndexedPoint> points, SourceMap &map)
{
    // Stable, so of two entries with one number the one met first in the file comes first.
    std::stable_sort(points.begin(), points.end(),
                     [](const IndexedPoint &a, const IndexedPoint &b) { return a.index < b.index; });
    QStringList repeats;
    qsizetype repeated = 0;
    qsizetype kept = -1; // the entry that holds the current number
    for (qsizetype i = 0; i < points.size(); ++i) {
        const IndexedPoint &p = points[i];
        if (p.index < 0) {
            map.error = QString("%1: LED number %2 is negative").arg(p.where).arg(p.index);
            map.points.clear();
            map.numbers.clear();
            return false;
        }
        if (kept >= 0 && p.index == points[kept].index) {
            if (++repeated <= 5)
                repeats.append(QString("LED %1 again at %2 (kept: %3)").arg(p.index).arg(p.where, points[kept].where));
            continue;
        }
        kept = i;
        map.numbers.append(p.index);
        map.points.append(p.point);
    }
    if (repeated) {
        if (repeated > repeats.size())
            repeats.append(QString("%1 more").arg(repeated - repeats.size()));
        map.warnings.append(QString("%1 %2 more than once; each keeps its first place: %3")
                                .arg(repeated).arg(repeated == 1 ? "LED number is named" : "LED numbers are named",
                                                   repeats.join(", ")));
    }
    return true;
}

int lineAt(const QByteArray &data, qsizetype offset)
{
    return int(data.left(offset).count('\n')) + 1;
}

} // namespace lumora
