// The grid: its three handles, the transform, snapping, and pressing and dragging the grid.
#include "View.h"

#include <cmath>

#include "document/UndoManager.h"

namespace lumora {

NodePtr View::makeGridNode(QPointF point)
{
    return Node::gridHandle(point);
}

void View::addOrigin(QPointF point)
{
    m_model->addOrigin(point);
}

void View::addX(QPointF point)
{
    m_model->addX(point);
}

void View::addY(QPointF point)
{
    m_model->addY(point);
    m_mode = EditGrid;
}

void View::addGridhandle(QPointF point)
{
    m_gridHandleShape = m_editGridState == 3   ? Shape::ChevronY
                        : m_editGridState == 2 ? Shape::ChevronX
                                               : Shape::Cross;
    m_gridHandle = makeGridNode(point);
}

std::optional<GridHandles> View::gridHandles() const
{
    return m_model->gridHandles();
}

std::optional<GridTransform> View::transform() const
{
    return m_model->transform();
}

QList<NodePtr> View::gridNodes() const
{
    if (gridState() != 3)
        return {};
    return {origin(), xDirection(), yDirection()};
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
    QList<NodePtr> nodes;
    QList<QPointF> targets;
    for (const NodePtr &node : leds()) {
        if (!marked || node->isMarked()) {
            nodes.append(node);
            targets.append(snap(node->position()));
        }
    }
    moveNodes(nodes, targets);
    updateBitmap();
}

void View::hideGrid()
{
    m_gridShown = false;
    QWidget::update();
}

void View::showGrid()
{
    m_gridShown = true;
    QWidget::update();
}

QList<QLineF> View::latticeSegments() const
{
    if (gridState() != 3)
        return {};
    const QPointF o = origin()->position();
    const QPointF X = xDirection()->position() - o;
    const QPointF Y = yDirection()->position() - o;
    QList<QLineF> segments;
    segments.reserve(82);
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o - 20 * X + k * Y, o + 20 * X + k * Y));
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o + k * X - 20 * Y, o + k * X + 20 * Y));
    return segments;
}

bool View::tooCloseToOrigin(QPointF p)
{
    // An axis of (nearly) no length has no inverse: the grid would map everything to one
    // point and could not be grabbed again.
    const QPointF d = p - origin()->position();
    if (std::hypot(d.x(), d.y()) > 1)
        return false;
    emit statusMessage(tr("A grid handle must lie away from the origin: click further from the blue cross."));
    return true;
}

void View::gridPress(QPointF p)
{
    switch (gridState()) {
    case 0:
        addOrigin(p);
        selectNode(origin(), p);
        return;
    case 1:
        if (tooCloseToOrigin(p))
            return;
        addX(p);
        selectNode(xDirection(), p);
        updateEdges(false);
        return;
    case 2:
        if (tooCloseToOrigin(p))
            return;
        addY(p);
        selectNode(yDirection(), p);
        updateEdges(false);
        return;
    default:
        break;
    }

    // Grab the complete grid: the handle nearest the press decides what the drag changes.
    const auto inverse = transform()->inverted();
    m_selectedPoint = inverse ? inverse->map(p) : QPointF(0, 0);
    m_a = xDirection()->position();
    m_b = yDirection()->position();
    m_c = origin()->position();
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
    const QPointF o = origin()->position();
    QPointF x = xDirection()->position(), y = yDirection()->position(), newOrigin = o;
    // Re-aiming divides by the grabbed point's other coordinate; on that axis (0) the new
    // handle would be undefined, so the handle stays where it is.
    switch (m_editGridState) {
    case 3:
        if (v != 0) {
            const QPointF aim((q.x() - m_a.x() * u - o.x()) / v + o.x(), (q.y() - u * m_a.y() - o.y()) / v + o.y());
            if (std::isfinite(aim.x()) && std::isfinite(aim.y()))
                y = aim;
        }
        break;
    case 2:
        if (u != 0) {
            const QPointF aim((q.x() - m_b.x() * v - o.x()) / u + o.x(), (q.y() - v * m_b.y() - o.y()) / u + o.y());
            if (std::isfinite(aim.x()) && std::isfinite(aim.y()))
                x = aim;
        }
        break;
    default: {
        newOrigin = q + m_c - m_selectedPosition;
        x = newOrigin + m_a;
        y = newOrigin + m_b;
        break;
    }
    }
    m_model->setGridPositions(newOrigin, x, y);
}

void View::finishGridDrag()
{
    if (moved())
        m_model->registerGridMove(GridHandles{m_c, m_a + m_c, m_b + m_c});
    deselectNode();
    m_gridHandle.reset();
    QWidget::update();
}

} // namespace lumora
