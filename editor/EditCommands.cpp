#include "EditCommands.h"

#include "document/DocumentModel.h"
#include "document/NodesCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace lumora {

namespace {

const QString pasteboardType = QStringLiteral("com.lumora.pasteboard.nodes");

} // namespace

std::optional<QList<QPointF>> EditCommands::clipboardNodes()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(pasteboardType))
        return std::nullopt;
    return decodeNodes(data->data(pasteboardType));
}

bool EditCommands::canPaste()
{
    return clipboardNodes().has_value();
}

void EditCommands::copy()
{
    QList<QPointF> positions;
    for (const NodePtr &node : m_model->leds())
        if (node->isMarked())
            positions.append(node->position());
    if (positions.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setData(pasteboardType, encodeNodes(positions));
    QApplication::clipboard()->setMimeData(data);
}

void EditCommands::paste()
{
    const auto positions = clipboardNodes();
    if (!positions)
        return;
    m_model->pasteLeds(*positions);
}

void EditCommands::cut()
{
    copy();
    deleteNodes();
}

void EditCommands::deleteNodes()
{
    m_model->removeLeds(m_model->markedLeds());
}

void EditCommands::selectAll()
{
    m_model->changeMarking(QList<bool>(m_model->ledCount(), true));
}

void EditCommands::deselectAll()
{
    for (const NodePtr &node : m_model->markedLeds())
        m_model->unmarkLed(node);
}

} // namespace lumora
