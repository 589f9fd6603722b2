#include "PixelblazeMap.h"

#include "MapText.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace lumora {

QPointF screenPoint(QPointF led)
{
    return QPointF(led.x(), 768 - led.y());
}

MapExport writePixelblazeMap(const LayoutSnapshot &layout)
{
    MapExport map;
    map.bytes = "[";
    for (qsizetype i = 0; i < layout.leds.size(); ++i) {
        const QPointF p = screenPoint(layout.leds[i]);
        map.bytes += (i ? ",[" : "[") + shortestNumber(p.x()) + ',' + shortestNumber(p.y()) + ']';
    }
    map.bytes += "]\n";
    return map;
}

SourceMap readPixelblazeMap(const QByteArray &data)
{
    if (data.trimmed().startsWith("function"))
        return SourceMap::failed("a Pixelblaze map function cannot be read; paste the array it generates instead");
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return SourceMap::failed(QString("line %1: not valid JSON: %2")
                                     .arg(lineAt(data, parseError.offset)).arg(parseError.errorString()));
    if (!document.isArray())
        return SourceMap::failed("a Pixelblaze map is an array of [x, y] or [x, y, z] entries");
    const QJsonArray entries = document.array();
    if (entries.isEmpty())
        return SourceMap::failed("the map holds no LED");
    SourceMap map;
    map.yDown = true;
    qsizetype dimensions = -1;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonArray entry = entries[i].toArray();
        const qsizetype size = entries[i].isArray() ? entry.size() : 0;
        if (size != 2 && size != 3)
            return SourceMap::failed(QString("element %1: expected [x, y] or [x, y, z]").arg(i));
        if (dimensions >= 0 && size != dimensions)
            return SourceMap::failed(QString("element %1: has %2 coordinates, the ones before %3")
                                         .arg(i).arg(size).arg(dimensions));
        dimensions = size;
        for (const QJsonValue &v : entry)
            if (!v.isDouble() || !std::isfinite(v.toDouble()))
                return SourceMap::failed(QString("element %1: coordinates must be numbers").arg(i));
        map.points.append(QPointF(entry[0].toDouble(), entry[1].toDouble()));
    }
    if (dimensions == 3)
        map.warnings.append("the map is 3-D; x and y are imported, z is dropped");
    return map;
}

} // namespace lumora
