#include "XLightsModel.h"

#include "CellLattice.h"
#include "MapText.h"

#include <QMap>
#include <QSet>
#include <QXmlStreamReader>

namespace lumora {

namespace {

/// The cells found for each node number, to place a node spread over several at their centre.
struct NodeCells {
    QPointF sum;
    int count = 0;
    QString where;
};

std::optional<qint64> positiveNumber(QStringView text, qint64 low)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok && v >= low ? std::optional<qint64>(v) : std::nullopt;
}

SourceMap finish(const QMap<qint64, NodeCells> &nodes, int layers)
{
    if (nodes.isEmpty())
        return SourceMap::failed("the model holds no node");
    SourceMap map;
    map.units = SourceMap::Units::Cells;
    map.yDown = true;
    QList<IndexedPoint> leds;
    int spread = 0;
    for (auto it = nodes.begin(); it != nodes.end(); ++it) {
        leds.append({it.key() - 1, it->sum / it->count, it->where});
        spread += it->count > 1;
    }
    if (layers > 1)
        map.warnings.append(QString("the model has %1 layers; they are laid over each other").arg(layers));
    if (spread)
        map.warnings.append(QString("%1 nodes fill several cells; each is placed at their centre").arg(spread));
    orderByIndex(leds, map);
    return map;
}

SourceMap readGrid(const QString &grid)
{
    QMap<qint64, NodeCells> nodes;
    const QStringList layers = grid.split('|');
    for (qsizetype l = 0; l < layers.size(); ++l) {
        const QStringList rows = layers[l].split(';');
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split(',');
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (cells[c].trimmed().isEmpty())
                    continue;
                const QString where = QString("CustomModel row %1, column %2").arg(r).arg(c);
                const auto node = positiveNumber(cells[c], 1);
                if (!node)
                    return SourceMap::failed(QString("%1: \"%2\" is not a node number").arg(where, cells[c]));
                NodeCells &n = nodes[*node];
                n.sum += QPointF(double(c), double(r));
                if (n.count++ == 0)
                    n.where = where;
            }
        }
    }
    return finish(nodes, int(layers.size()));
}

SourceMap readCompressed(const QString &entries)
{
    QMap<qint64, NodeCells> nodes;
    QSet<qint64> layers;
    const QStringList list = entries.split(';');
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].trimmed().isEmpty())
            continue;
        const QString where = QString("CustomModelCompressed entry %1").arg(i);
        const QStringList fields = list[i].split(',');
        std::optional<qint64> node, row, column, layer = 0;
        if (fields.size() == 3 || fields.size() == 4) {
            node = positiveNumber(fields[0], 1);
            row = positiveNumber(fields[1], 0);
            column = positiveNumber(fields[2], 0);
            if (fields.size() == 4)
                layer = positiveNumber(fields[3], 0);
        }
        if (!node || !row || !column || !layer)
            return SourceMap::failed(QString("%1: expected node,row,column[,layer], found \"%2\"").arg(where, list[i]));
        layers.insert(*layer);
        NodeCells &n = nodes[*node];
        n.sum += QPointF(double(*column), double(*row));
        if (n.count++ == 0)
            n.where = where;
    }
    return finish(nodes, int(layers.size()));
}

} // namespace

MapExport writeXLightsModel(const LayoutSnapshot &layout, const QString &name, qint64 maxCells)
{
    const CellLattice lattice = CellLattice::forLayout(layout.leds, layout.grid, maxCells);
    MapExport map;
    map.notes = lattice.notes();
    if (!lattice.fits()) {
        map.error = lattice.tooLarge();
        return map;
    }
    for (const QString &message : lattice.sharingMessages())
        map.lost.append(message + "; only the first is in the model");
    const QList<int> owners = lattice.owners();
    QByteArray grid;
    for (int row = 0; row < lattice.height(); ++row) {
        if (row)
            grid += ';';
        for (int column = 0; column < lattice.width(); ++column) {
            if (column)
                grid += ',';
            const int led = owners[qsizetype(row) * lattice.width() + column];
            if (led >= 0)
                grid += QByteArray::number(led + 1);
        }
    }
    const QByteArray w = QByteArray::number(lattice.width()), h = QByteArray::number(lattice.height());
    map.bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<custommodel name=\"" + xmlAttribute(name)
        + "\" CustomWidth=\"" + w + "\" CustomHeight=\"" + h + "\" parm1=\"" + w + "\" parm2=\"" + h
        + "\" Depth=\"1\" StringType=\"RGB Nodes\" Transparency=\"0\" PixelSize=\"2\" Antialias=\"1\" CustomModel=\""
        + grid + "\"/>\n";
    return map;
}

SourceMap readXLightsModel(const QByteArray &data)
{
    QXmlStreamReader xml(data);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    if (xml.hasError())
        return SourceMap::failed(QString("line %1: not valid XML: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    if (xml.name() != QLatin1String("custommodel"))
        return SourceMap::failed(QString("line %1: expected a <custommodel> element, found <%2>")
                                     .arg(xml.lineNumber()).arg(xml.name()));
    const QXmlStreamAttributes attributes = xml.attributes();
    const int line = int(xml.lineNumber());
    // The whole document must be well-formed, or it is not what the user thinks it is.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return SourceMap::failed(QString("line %1: not valid XML: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    const QString compressed = attributes.value("CustomModelCompressed").toString();
    if (!compressed.trimmed().isEmpty())
        return readCompressed(compressed);
    if (!attributes.hasAttribute("CustomModel"))
        return SourceMap::failed(QString("line %1: <custommodel> has neither CustomModel nor CustomModelCompressed")
                                     .arg(line));
    return readGrid(attributes.value("CustomModel").toString());
}

} // namespace lumora
