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
    std::stable_sort(points.begin(), points.end(),
                     [](const IndexedPoint &a, const IndexedPoint &b) { return a.index < b.index; });
    QStringList gaps;
    qint64 expected = 0;
    qint64 missing = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const IndexedPoint &p = points[i];
        if (p.index < 0) {
            map.error = QString("%1: LED number %2 is negative").arg(p.where).arg(p.index);
            map.points.clear();
            return false;
        }
        if (i > 0 && p.index == points[i - 1].index) {
            map.error = QString("%1: LED %2 appears again (first at %3)").arg(p.where).arg(p.index).arg(points[i - 1].where);
            map.points.clear();
            return false;
        }
        if (p.index > expected) {
            missing += p.index - expected;
            gaps.append(p.index - 1 == expected ? QString::number(expected)
                                                : QString("%1–%2").arg(expected).arg(p.index - 1));
        }
        expected = p.index + 1;
        map.points.append(p.point);
    }
    if (!gaps.isEmpty()) {
        if (gaps.size() > 5)
            gaps = gaps.mid(0, 5) << "…";
        map.warnings.append(QString("the LED numbers skip %1 (%2 missing in all); the LEDs after a gap move up to close it")
                                .arg(gaps.join(", ")).arg(missing));
    }
    return true;
}

int lineAt(const QByteArray &data, qsizetype offset)
{
    return int(data.left(offset).count('\n')) + 1;
}

} // namespace lumora
