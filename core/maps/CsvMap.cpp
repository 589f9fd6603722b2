#include "CsvMap.h"

#include "MapText.h"

#include <cmath>

namespace lumora {

namespace {

QString unquoted(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.mid(1, field.size() - 2).trimmed();
    return field;
}

std::optional<double> number(const QString &field)
{
    bool ok = false;
    const double v = field.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

MapExport writeCsvMap(const LayoutSnapshot &layout)
{
    const QList<QPointF> grid = layout.points();
    const bool haveGrid = layout.grid && GridTransform(*layout.grid).inverted();
    MapExport map;
    map.bytes = "index,x,y,u,v\n";
    for (qsizetype i = 0; i < layout.leds.size(); ++i) {
        map.bytes += QByteArray::number(i) + ',' + shortestNumber(layout.leds[i].x()) + ','
            + shortestNumber(layout.leds[i].y()) + ',';
        if (haveGrid)
            map.bytes += shortestNumber(grid[i].x()) + ',' + shortestNumber(grid[i].y());
        else
            map.bytes += ',';
        map.bytes += '\n';
    }
    if (layout.grid && !haveGrid)
        map.notes.append("the grid's axes are parallel, so u and v are left empty");
    return map;
}

SourceMap readCsvMap(const QByteArray &data)
{
    const QStringList lines = QString::fromUtf8(data).split('\n');
    qsizetype indexColumn = -1, xColumn = -1, yColumn = -1, zColumn = -1, uColumn = -1, vColumn = -1;
    bool haveHeader = false;
    SourceMap map;
    QList<IndexedPoint> leds;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith('\r'))
            line.chop(1);
        if (n == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const QString where = QString("line %1").arg(n + 1);
        QStringList fields = line.split(',');
        for (QString &field : fields)
            field = unquoted(field);
        if (!haveHeader) {
            haveHeader = true;
            for (qsizetype c = 0; c < fields.size(); ++c) {
                const QString name = fields[c].toLower();
                qsizetype *column = name == "index" ? &indexColumn : name == "x" ? &xColumn : name == "y" ? &yColumn
                    : name == "z" ? &zColumn : name == "u" ? &uColumn : name == "v" ? &vColumn : nullptr;
                if (column && *column < 0)
                    *column = c;
            }
            if (indexColumn < 0 || !((xColumn >= 0 && yColumn >= 0) || (uColumn >= 0 && vColumn >= 0)))
                return SourceMap::failed(QString("%1: expected a header naming the columns index,x,y or index,u,v")
                                             .arg(where));
            if (xColumn < 0 || yColumn < 0) {
                // Camera mappers: normalised image coordinates, rows counted from the top.
                xColumn = uColumn;
                yColumn = vColumn;
                map.units = SourceMap::Units::Normalised;
                map.yDown = true;
            }
            continue;
        }
        const qsizetype needed = std::max({indexColumn, xColumn, yColumn}) + 1;
        if (fields.size() < needed)
            return SourceMap::failed(QString("%1: expected at least %2 fields, found %3").arg(where).arg(needed).arg(fields.size()));
        const auto index = number(fields[indexColumn]);
        if (!index || *index < 0 || *index != std::floor(*index) || *index > 1e15)
            return SourceMap::failed(QString("%1: index \"%2\" is not an LED number").arg(where, fields[indexColumn]));
        const auto x = number(fields[xColumn]), y = number(fields[yColumn]);
        if (!x || !y)
            return SourceMap::failed(QString("%1: \"%2\" is not a number").arg(where, x ? fields[yColumn] : fields[xColumn]));
        leds.append({qint64(*index), QPointF(*x, *y), where});
    }
    if (leds.isEmpty())
        return SourceMap::failed(haveHeader ? "the file lists no LED" : "the file is empty");
    if (zColumn >= 0 && map.units == SourceMap::Units::Layout)
        map.warnings.append("the map is 3-D; x and y are imported, z is dropped");
    orderByIndex(leds, map);
    return map;
}

} // namespace lumora
