#include "LedDragTool.h"

#include "editor/View.h"

#include <QMouseEvent>

namespace lumora {

namespace {

// Where each LED of a dragged group started: the exact positions kept at the press when they
// still match the group, else worked back from the drag's offset.
QList<QPointF> groupStarts(const QList<NodePtr> &group, QList<QPointF> &kept, QPointF offset)
{
    QList<QPointF> starts;
    if (kept.size() == group.size()) {
        starts.swap(kept);
        return starts;
    }
    starts.reserve(group.size());
    for (const NodePtr &node : group)
        starts.append(node->position() - offset);
    return starts;
}

} // namespace

void LedDragTool::press(QPointF point, QMouseEvent *)
{
    m_view.layoutPainter().endDrag();
    mouseDown(point);
}

void LedDragTool::move(QPointF point, QMouseEvent *, bool dragging)
{
    if (dragging)
        mouseDragged(point);
    else
        m_view.setCursor(m_view.nodeAtPoint(point) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

bool LedDragTool::release(QPointF point, QMouseEvent *event, bool pressed)
{
    if (!pressed)
        return false;
    m_view.layoutPainter().endDrag();
    mouseUp(point, event->modifiers());
    return true;
}

bool LedDragTool::selectNode(QPointF point)
{
    const NodePtr found = m_view.nodeAtPoint(point);
    if (found == m_selectedNode) {
        m_selectedPosition = point;
        return false;
    }
    deselectNode();
    if (found)
        selectNode(found, point);
    return true;
}

void LedDragTool::selectNode(const NodePtr &node, QPointF point)
{
    m_selectedNode = node;
    node->setSelected(true);
    m_selectedPosition = node->position();
    m_selectedOffset = node->position() - point;
    m_groupStarts.clear();
    m_view.update();
}

void LedDragTool::deselectNode()
{
    if (!m_selectedNode)
        return;
    m_selectedNode->setSelected(false);
    m_selectedNode.reset();
    m_view.update();
}

bool LedDragTool::moved() const
{
    return m_selectedNode && m_selectedNode->position() != m_selectedPosition;
}

void LedDragTool::moveNode(QPointF point, bool snapped)
{
    QPointF target = point + m_selectedOffset;
    if (snapped)
        if (const auto grid = m_view.model()->transform())
            target = grid->snap(target);
    placeNode(m_selectedNode, target);
}

void LedDragTool::placeNode(const NodePtr &node, QPointF position)
{
    // The grab handle of a grid drag is the tool's own; everything else is the model's.
    if (node && node == handle())
        node->setPosition(position);
    else
        m_view.model()->setLedPosition(node, position);
}

void LedDragTool::removeSelectedNode()
{
    placeNode(m_selectedNode, m_selectedPosition);
    m_view.model()->removeLed(m_selectedNode);
    deselectNode();
}

void LedDragTool::notMoveSelectedNode()
{
    placeNode(m_selectedNode, m_selectedPosition);
    deselectNode();
}

void LedDragTool::mouseDragged(QPointF p)
{
    if (!m_selectedNode)
        return;
    if (m_selectedNode->type() == Node::Led && m_selectedNode != handle())
        m_view.layoutPainter().beginDrag(m_selectedNode);
    if (View::isInsideLayout(p))
        m_view.setCursor(moved() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        m_view.setCursor(Qt::ForbiddenCursor);
    DocumentModel *model = m_view.model();
    if (m_selectedNode->isMarked()) {
        // The whole marked group follows, as one change of the model.
        const QPointF d = p - m_selectedNode->position();
        const QList<NodePtr> group = model->markedLeds();
        // Undo puts each LED back exactly where it was, not at its end less the offset.
        if (m_groupStarts.size() != group.size()) {
            m_groupStarts.clear();
            m_groupStarts.reserve(group.size());
            for (const NodePtr &node : group)
                m_groupStarts.append(node->position());
        }
        QList<QPointF> targets;
        targets.reserve(group.size());
        for (const NodePtr &node : group)
            targets.append(node->position() + d + m_selectedOffset);
        model->setLedPositions(group, targets);
    } else {
        moveNode(p, snapsLeds() && m_selectedNode->type() == Node::Led);
    }
    m_view.updateEdges(false);
    m_view.update();
}

void LedDragTool::mouseUp(QPointF p, Qt::KeyboardModifiers)
{
    DocumentModel *model = m_view.model();
    if (m_selectedNode) {
        if (View::isInsideLayout(p)) {
            if (moved()) {
                if (m_selectedNode->isMarked()) {
                    const QList<NodePtr> group = model->markedLeds();
                    const QList<QPointF> starts =
                        groupStarts(group, m_groupStarts, m_selectedNode->position() - m_selectedPosition);
                    model->registerMoves(group, starts, "move node");
                } else {
                    model->registerMoves({m_selectedNode}, {m_selectedPosition}, "move node");
                }
                m_view.updateBitmap();
            }
            deselectNode();
        } else {
            if (m_selectedNode->isMarked()) {
                // Dragged out of the layout: the group goes, and undo brings it back where
                // the drag started.
                const QList<NodePtr> group = model->markedLeds();
                const QList<QPointF> starts =
                    groupStarts(group, m_groupStarts, m_selectedNode->position() - m_selectedPosition);
                model->setLedPositions(group, starts);
                model->removeLeds(group);
                deselectNode();
            } else if (m_selectedNode->type() != Node::Led) {
                notMoveSelectedNode();
            } else {
                removeSelectedNode();
            }
            m_view.updateEdges(true);
        }
    }
    m_groupStarts.clear();
    m_view.setCursor(m_view.nodeAtPoint(p) ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

} // namespace lumora
