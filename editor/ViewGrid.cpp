// The grid: its three handles, the transform, snapping, and pressing and dragging the grid.
#include "View.h"

#include "UndoManager.h"

namespace lumora {

NodePtr View::makeGridNode(QPointF point, QColor stroke, Node::Shape shape)
{
    auto node = std::make_shared<Node>();
    node->setType(Node::GridNode);
    node->setPosition(point);
    node->stroke = stroke;
    node->fill.reset();
    node->shape = shape;
    node->z = 2;
    node->visible = m_gridShown;
    return node;
}

void View::addOrigin(QPointF point)
{
    m_origin = makeGridNode(point, Qt::blue, Node::Shape::Cross);
    m_gridState = 1;
    QWidget::update();
}

void View::addX(QPointF point)
{
    m_xDirection = makeGridNode(point, Qt::red, Node::Shape::ChevronX);
    m_gridState = 2;
    QWidget::update();
}

void View::addY(QPointF point)
{
    m_yDirection = makeGridNode(point, Qt::green, Node::Shape::ChevronY);
    m_gridState = 3;
    m_mode = EditGrid;
    QWidget::update();
}

void View::addGridhandle(QPointF point)
{
    const Node::Shape shape = m_editGridState == 3   ? Node::Shape::ChevronY
                              : m_editGridState == 2 ? Node::Shape::ChevronX
                                                     : Node::Shape::Cross;
    m_gridHandle = makeGridNode(point, Qt::yellow, shape);
    m_gridHandle->visible = true;
}

std::optional<GridHandles> View::gridHandles() const
{
    if (m_gridState != 3)
        return std::nullopt;
    return GridHandles{m_origin->position(), m_xDirection->position(), m_yDirection->position()};
}

std::optional<GridTransform> View::transform() const
{
    if (auto handles = gridHandles())
        return GridTransform(*handles);
    return std::nullopt;
}

QList<NodePtr> View::gridNodes() const
{
    if (m_gridState != 3)
        return {};
    return {m_origin, m_xDirection, m_yDirection};
}

QPointF View::snap(QPointF point) const
{
    const auto t = transform();
    return t ? t->snap(point) : point;
}

void View::snapNode(const NodePtr &node)
{
    moveNode(node, snap(node->position()));
}

void View::snapToGrid()
{
    prepareAnimation();
    const bool marked = isMarked();
    for (const NodePtr &node : QList<NodePtr>(m_ledNodes))
        if (!marked || node->isMarked())
            snapNode(node);
    updateBitmap();
}

void View::hideGrid()
{
    m_gridShown = false;
    for (const NodePtr &node : {m_origin, m_xDirection, m_yDirection})
        if (node)
            node->visible = false;
    QWidget::update();
}

void View::showGrid()
{
    m_gridShown = true;
    for (const NodePtr &node : {m_origin, m_xDirection, m_yDirection})
        if (node)
            node->visible = true;
    QWidget::update();
}

QList<QLineF> View::latticeSegments() const
{
    if (!m_origin || !m_xDirection || !m_yDirection)
        return {};
    const QPointF o = m_origin->position();
    const QPointF X = m_xDirection->position() - o;
    const QPointF Y = m_yDirection->position() - o;
    QList<QLineF> segments;
    segments.reserve(82);
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o - 20 * X + k * Y, o + 20 * X + k * Y));
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o + k * X - 20 * Y, o + k * X + 20 * Y));
    return segments;
}

void View::gridPress(QPointF p)
{
    switch (m_gridState) {
    case 0:
        addOrigin(p);
        selectNode(m_origin, p);
        return;
    case 1:
        addX(p);
        selectNode(m_xDirection, p);
        updateEdges(false);
        return;
    case 2:
        addY(p);
        selectNode(m_yDirection, p);
        updateEdges(false);
        return;
    default:
        break;
    }

    // Grab the complete grid: the handle nearest the press decides what the drag changes.
    const auto inverse = transform()->inverted();
    m_selectedPoint = inverse ? inverse->map(p) : QPointF(0, 0);
    m_a = m_xDirection->position();
    m_b = m_yDirection->position();
    m_c = m_origin->position();
    auto squared = [p](QPointF q) { return (q.x() - p.x()) * (q.x() - p.x()) + (q.y() - p.y()) * (q.y() - p.y()); };
    const double dA = squared(m_a), dB = squared(m_b), dC = squared(m_c);
    if (dA < dB && dA < dC)
        m_editGridState = 2;
    else if (dB <= dA && dB < dC)
        m_editGridState = 3;
    else
        m_editGridState = 1;
    addGridhandle(p);
    m_selectedNode = m_gridHandle;
    m_selectedPosition = p;
    m_selectedOffset = QPointF(0, 0);
    m_a -= m_c;
    m_b -= m_c;
}

void View::gridDrag(QPointF q)
{
    const double u = m_selectedPoint.x(), v = m_selectedPoint.y();
    const QPointF o = m_origin->position();
    // Re-aiming divides by the grabbed point's other coordinate; on that axis (0) the new
    // handle would be undefined, so the handle stays where it is.
    switch (m_editGridState) {
    case 3:
        if (v != 0) {
            const QPointF y((q.x() - m_a.x() * u - o.x()) / v + o.x(), (q.y() - u * m_a.y() - o.y()) / v + o.y());
            if (std::isfinite(y.x()) && std::isfinite(y.y()))
                m_yDirection->setPosition(y);
        }
        break;
    case 2:
        if (u != 0) {
            const QPointF x((q.x() - m_b.x() * v - o.x()) / u + o.x(), (q.y() - v * m_b.y() - o.y()) / u + o.y());
            if (std::isfinite(x.x()) && std::isfinite(x.y()))
                m_xDirection->setPosition(x);
        }
        break;
    default: {
        const QPointF origin = q + m_c - m_selectedPosition;
        m_origin->setPosition(origin);
        m_xDirection->setPosition(origin + m_a);
        m_yDirection->setPosition(origin + m_b);
        break;
    }
    }
}

void View::finishGridDrag()
{
    if (moved()) {
        const NodePtr x = m_xDirection, y = m_yDirection, o = m_origin;
        const QPointF a = m_a + m_c, b = m_b + m_c, c = m_c;
        m_undo->registerUndo([this, x, a] { moveNode(x, a); });
        m_undo->registerUndo([this, y, b] { moveNode(y, b); });
        m_undo->registerUndo([this, o, c] { moveNode(o, c); });
        m_undo->setActionName("move grid");
    }
    deselectNode();
    m_gridHandle.reset();
    QWidget::update();
}

} // namespace lumora
