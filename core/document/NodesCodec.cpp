#include "NodesCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace lumora {

namespace {

// More than any real layout holds; a larger paste is refused as garbage.
const qsizetype maxPastedNodes = 1'000'000;

} // namespace

QByteArray encodeNodes(const QList<QPointF> &positions)
{
    QJsonArray nodes;
    for (const QPointF &p : positions)
        nodes.append(QJsonArray{p.x(), p.y()});
    return QJsonDocument(QJsonObject{{"nodes", nodes}}).toJson(QJsonDocument::Compact);
}

std::optional<QList<QPointF>> decodeNodes(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    // Without the key the object carries no positions: nothing to paste, no harm.
    const QJsonValue value = document.object().value("nodes");
    if (value.isUndefined())
        return QList<QPointF>();
    if (!value.isArray() || value.toArray().size() > maxPastedNodes)
        return std::nullopt;
    QList<QPointF> positions;
    for (const QJsonValue &entry : value.toArray()) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble())
            return std::nullopt;
        const QPointF p(pair[0].toDouble(), pair[1].toDouble());
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return std::nullopt;
        positions.append(p);
    }
    return positions;
}

} // namespace lumora
