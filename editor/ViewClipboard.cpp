// Copy, cut, paste and delete of the marked LEDs through the system clipboard, so LEDs
// travel between document windows. The clipboard carries only positions, as JSON
// {"nodes": [[x, y], ...]} under the type "com.lumora.pasteboard.nodes".
#include "View.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace lumora {

namespace {

const QString pasteboardType = QStringLiteral("com.lumora.pasteboard.nodes");

} // namespace

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
    m_model->pasteLeds(*positions);
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
