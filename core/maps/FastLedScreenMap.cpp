#include "FastLedScreenMap.h"

#include "MapText.h"
#include "PixelblazeMap.h"

namespace lumora {

namespace {

// The editor draws every LED as a disc of this diameter in layout units.
constexpr int ledDiameter = 20;

} // namespace

MapExport writeScreenMap(const LayoutSnapshot &layout, const QString &name)
{
    QByteArray xs, ys;
    for (qsizetype i = 0; i < layout.leds.size(); ++i) {
        const QPointF p = screenPoint(layout.leds[i]);
        xs += (i ? "," : "") + shortestNumber(p.x());
        ys += (i ? "," : "") + shortestNumber(p.y());
    }
    MapExport map;
    map.bytes = "{\"version\":2,\"segments\":[{\"id\":" + jsonString(name) + ",\"x\":[" + xs + "],\"y\":[" + ys
        + "],\"diameter\":" + QByteArray::number(ledDiameter) + "}]}\n";
    return map;
}

} // namespace lumora
