#include "WledMap.h"

#include "CellLattice.h"
#include "MapText.h"
#include "WledPanelWiring.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace lumora {

namespace {

QByteArray integerList(const QList<int> &values)
{
    QByteArray out;
    out.reserve(values.size() * 4);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            out += ',';
        out += QByteArray::number(values[i]);
    }
    return out;
}

MapExport withLattice(const CellLattice &lattice)
{
    MapExport map;
    map.notes = lattice.notes();
    if (!lattice.fits())
        map.error = lattice.tooLarge();
    for (const QString &message : lattice.sharingMessages())
        map.lost.append(message + "; only the first is in the map");
    return map;
}

/// A JSON number that is a whole number in the given range.
std::optional<qint64> wholeNumber(const QJsonValue &value, qint64 low, qint64 high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double v = value.toDouble();
    if (v != std::floor(v) || v < double(low) || v > double(high))
        return std::nullopt;
    return qint64(v);
}

} // namespace

MapExport writeWledMap(const LayoutSnapshot &layout, const QString &name, qint64 maxCells)
{
    const CellLattice lattice = CellLattice::forLayout(layout.leds, layout.grid, maxCells);
    MapExport map = withLattice(lattice);
    if (!map.ok())
        return map;
    map.bytes = "{\"n\":" + jsonString(name) + ",\"width\":" + QByteArray::number(lattice.width())
        + ",\"height\":" + QByteArray::number(lattice.height()) + ",\"map\":[" + integerList(lattice.owners()) + "]}\n";
    return map;
}

MapExport writeWledGaps(const LayoutSnapshot &layout, qint64 maxCells)
{
    const CellLattice lattice = CellLattice::forLayout(layout.leds, layout.grid, maxCells);
    MapExport map = withLattice(lattice);
    if (!map.ok())
        return map;
    if (!lattice.betweenCells().isEmpty()) {
        map.error = QString("%1 LEDs lie on the wiring between cells and hold none, but WLED's 2D panel numbers "
                            "an LED in every cell it wires; export ledmap.json instead, which carries any order")
                        .arg(lattice.betweenCells().size());
        return map;
    }
    const QList<int> owners = lattice.owners();
    const WiringMatch match = findWledWiring(owners, lattice.width(), lattice.height(), layout.leds.size());
    if (!match.wiring) {
        const QString where = match.cell < 0 ? QString("it has no cell of its own")
                                             : QString("WLED would number its cell (%1, %2) as LED %3")
                                                   .arg(match.cell % lattice.width()).arg(match.cell / lattice.width())
                                                   .arg(match.expected);
        map.error = QString("no WLED 2D panel wiring gives the LEDs' order: with the closest (%1) LED %2 is out of order, "
                            "as %3; export ledmap.json instead, which carries any order")
                        .arg(match.closest.name()).arg(match.outOfOrder).arg(where);
        return map;
    }
    map.notes.append(QString("set WLED's 2D panel to: %1 (%2 × %3)")
                         .arg(match.wiring->name()).arg(lattice.width()).arg(lattice.height()));
    QList<int> gaps = owners;
    for (int &cell : gaps)
        cell = cell < 0 ? -1 : 1;
    map.bytes = "[" + integerList(gaps) + "]\n";
    return map;
}

SourceMap readWledMap(const QByteArray &data)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return SourceMap::failed(QString("line %1: not valid JSON: %2")
                                     .arg(lineAt(data, parseError.offset)).arg(parseError.errorString()));
    const QJsonObject object = document.object();
    if (!document.isObject() || !object.value("map").isArray())
        return SourceMap::failed("a WLED ledmap is an object with a \"map\" array");
    const QJsonArray cells = object.value("map").toArray();
    // WLED's own limit on either side; the map itself may be as long as a strip.
    const qint64 limit = 1 << 16;
    qint64 width = cells.size(), height = 1;
    if (object.contains("width")) {
        const auto w = wholeNumber(object.value("width"), 1, limit);
        if (!w)
            return SourceMap::failed("\"width\" must be a whole number from 1");
        width = *w;
        height = (cells.size() + width - 1) / width;
    }
    if (object.contains("height")) {
        const auto h = wholeNumber(object.value("height"), 1, limit);
        if (!h)
            return SourceMap::failed("\"height\" must be a whole number from 1");
        height = *h;
    }
    if (cells.size() > width * height)
        return SourceMap::failed(QString("the map has %1 entries, more than width × height = %2")
                                     .arg(cells.size()).arg(width * height));
    QList<IndexedPoint> leds;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const auto led = wholeNumber(cells[i], -1, std::numeric_limits<int>::max());
        if (!led)
            return SourceMap::failed(QString("map element %1: expected an LED number or -1").arg(i));
        if (*led >= 0)
            leds.append({*led, QPointF(double(i % width), double(i / width)), QString("map element %1").arg(i)});
    }
    if (leds.isEmpty())
        return SourceMap::failed("the map holds no LED");
    SourceMap map;
    map.units = SourceMap::Units::Cells;
    map.yDown = true;
    orderByIndex(leds, map);
    return map;
}

} // namespace lumora
