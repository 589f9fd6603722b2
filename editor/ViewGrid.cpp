// The grid's handles as loaded, its display and its lattice.
#include "View.h"

#include <cmath>

#include "document/UndoManager.h"

namespace lumora {

void View::addY(QPointF point)
{
    m_model->addY(point);
    if (m_mode != editingMode("Edit Grid")) {
        m_mode = editingMode("Edit Grid");
        updateModeTool();
    }
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
    if (m_model->gridState() != 3)
        return {};
    const QPointF o = m_model->origin()->position();
    const QPointF X = m_model->xDirection()->position() - o;
    const QPointF Y = m_model->yDirection()->position() - o;
    QList<QLineF> segments;
    segments.reserve(82);
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o - 20 * X + k * Y, o + 20 * X + k * Y));
    for (int k = -20; k <= 20; ++k)
        segments.append(QLineF(o + k * X - 20 * Y, o + k * X + 20 * Y));
    return segments;
}

} // namespace lumora
