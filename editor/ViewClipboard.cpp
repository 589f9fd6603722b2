// Copy, cut, paste and delete of the marked LEDs through the system clipboard, so LEDs
// travel between document windows. The clipboard carries only positions, as JSON
// {"nodes": [[x, y], ...]} under the type "com.lumora.pasteboard.nodes".
#include "View.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>

#include <cmath>

namespace lumora {

namespace {

const QString pasteboardType = QStringLiteral("com.lumora.pasteboard.nodes");
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

std::optional<QList<QPointF>> View::clipboardNodes()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(pasteboardType))
        return std::nullopt;
    return decodeNodes(data->data(pasteboardType));
}

bool View::canPaste()
{
    return clipboardNodes().has_value();
}

void View::copy()
{
    QList<QPointF> positions;
    for (const NodePtr &node : leds())
        if (node->isMarked())
            positions.append(node->position());
    if (positions.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setData(pasteboardType, encodeNodes(positions));
    QApplication::clipboard()->setMimeData(data);
}

void View::paste()
{
    const auto positions = clipboardNodes();
    if (!positions)
        return;
    for (const QPointF &p : *positions)
        markNode(addVertex(p));
}

void View::cut()
{
    copy();
    deleteNodes();
}

void View::deleteNodes()
{
    m_model->removeLeds(m_model->markedLeds());
}

} // namespace lumora
