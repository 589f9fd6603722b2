#pragma once

#include "editor/tools/LedDragTool.h"

namespace lumora {

/// Edit Grid: the first three presses place the grid's origin, x and y handles; then a press
/// on an LED drags it (snapped to the grid) and a press elsewhere grabs the grid, the handle
/// nearest the press deciding whether the drag moves it, turns and stretches its x axis or
/// its y axis, as one undo step "move grid".
class EditGridTool : public LedDragTool {
public:
    using LedDragTool::LedDragTool;

    NodePtr handle() const override { return m_gridHandle; }
    NodeShape handleShape() const override { return m_handleShape; }
    /// What the grab under way changes: 1 the origin, 2 the x axis, 3 the y axis.
    int editGridState() const { return m_editGridState; }

protected:
    void mouseDown(QPointF point) override;
    void mouseDragged(QPointF point) override;
    void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers) override;
    bool snapsLeds() const override { return true; }

private:
    void gridPress(QPointF point);
    /// Refuses (and says so) an x or y handle within one unit of the origin.
    bool tooCloseToOrigin(QPointF point);
    void gridDrag(QPointF point);
    void finishGridDrag();

    NodePtr m_gridHandle;
    NodeShape m_handleShape = NodeShape::Cross;
    int m_editGridState = 0;
    /// At the grab: the x and y axes, the origin, and the grabbed point in grid units.
    QPointF m_a, m_b, m_c, m_selectedPoint;
};

} // namespace lumora
