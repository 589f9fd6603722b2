#include "EditGridTool.h"

#include "editor/View.h"

#include <cmath>

namespace lumora {

void EditGridTool::mouseDown(QPointF p)
{
    if (m_view.model()->gridState() == 3 && selectNode(p))
        return;
    gridPress(p);
}

void EditGridTool::mouseDragged(QPointF p)
{
    if (m_selectedNode && m_selectedNode == m_gridHandle)
        gridDrag(p);
    m_view.updateBitmap();
    LedDragTool::mouseDragged(p);
}

void EditGridTool::mouseUp(QPointF p, Qt::KeyboardModifiers modifiers)
{
    if (m_gridHandle)
        finishGridDrag();
    LedDragTool::mouseUp(p, modifiers);
}

bool EditGridTool::tooCloseToOrigin(QPointF p)
{
    // An axis of (nearly) no length has no inverse: the grid would map everything to one
    // point and could not be grabbed again.
    const QPointF d = p - m_view.model()->origin()->position();
    if (std::hypot(d.x(), d.y()) > 1)
        return false;
    emit m_view.statusMessage(
        View::tr("A grid handle must lie away from the origin: click further from the blue cross."));
    return true;
}

void EditGridTool::gridPress(QPointF p)
{
    DocumentModel *model = m_view.model();
    switch (model->gridState()) {
    case 0:
        model->addOrigin(p);
        selectNode(model->origin(), p);
        return;
    case 1:
        if (tooCloseToOrigin(p))
            return;
        model->addX(p);
        selectNode(model->xDirection(), p);
        m_view.updateEdges(false);
        return;
    case 2:
        if (tooCloseToOrigin(p))
            return;
        model->addY(p);
        selectNode(model->yDirection(), p);
        m_view.updateEdges(false);
        return;
    default:
        break;
    }

    // Grab the complete grid: the handle nearest the press decides what the drag changes.
    const auto inverse = model->transform()->inverted();
    m_selectedPoint = inverse ? inverse->map(p) : QPointF(0, 0);
    m_a = model->xDirection()->position();
    m_b = model->yDirection()->position();
    m_c = model->origin()->position();
    auto squared = [p](QPointF q) { return (q.x() - p.x()) * (q.x() - p.x()) + (q.y() - p.y()) * (q.y() - p.y()); };
    const double dA = squared(m_a), dB = squared(m_b), dC = squared(m_c);
    if (dA < dB && dA < dC)
        m_editGridState = 2;
    else if (dB <= dA && dB < dC)
        m_editGridState = 3;
    else
        m_editGridState = 1;
    m_handleShape = m_editGridState == 3   ? NodeShape::ChevronY
                    : m_editGridState == 2 ? NodeShape::ChevronX
                                           : NodeShape::Cross;
    m_gridHandle = Node::gridHandle(p);
    m_selectedNode = m_gridHandle;
    m_selectedPosition = p;
    m_selectedOffset = QPointF(0, 0);
    m_a -= m_c;
    m_b -= m_c;
}

void EditGridTool::gridDrag(QPointF q)
{
    DocumentModel *model = m_view.model();
    const double u = m_selectedPoint.x(), v = m_selectedPoint.y();
    const QPointF o = model->origin()->position();
    QPointF x = model->xDirection()->position(), y = model->yDirection()->position(), newOrigin = o;
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
    model->setGridPositions(newOrigin, x, y);
}

void EditGridTool::finishGridDrag()
{
    if (moved())
        m_view.model()->registerGridMove(GridHandles{m_c, m_a + m_c, m_b + m_c});
    deselectNode();
    m_gridHandle.reset();
    m_view.update();
}

} // namespace lumora
