#pragma once

#include "editor/tools/Tool.h"

#include <QList>

namespace lumora {

/// What the toolbar's modes share: a press grabs the LED under it, a drag moves it (or the
/// whole marked group, when it is marked) as one undo step "move node", and a release
/// outside the layout removes what was dragged there. Subclasses decide what a press on
/// nothing does.
class LedDragTool : public Tool {
public:
    using Tool::Tool;

    bool holdsPresses() const override { return true; }
    void press(QPointF point, QMouseEvent *event) override;
    void move(QPointF point, QMouseEvent *event, bool dragging) override;
    bool release(QPointF point, QMouseEvent *event, bool pressed) override;
    NodePtr selectedNode() const override { return m_selectedNode; }

protected:
    /// The press, the drag step and the release in layout coordinates.
    virtual void mouseDown(QPointF point) = 0;
    virtual void mouseDragged(QPointF point);
    virtual void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers);
    /// Whether a dragged LED snaps to the grid.
    virtual bool snapsLeds() const { return false; }

    /// Selects the LED at the point; whether the selection changed.
    bool selectNode(QPointF point);
    void selectNode(const NodePtr &node, QPointF point);
    void deselectNode();
    /// Whether the selected node left the place the press found it at.
    bool moved() const;
    /// The selected node to the point less the press's offset.
    void moveNode(QPointF point, bool snap);
    /// Moves a node during a press without undo (the release records the step).
    void placeNode(const NodePtr &node, QPointF position);
    void removeSelectedNode();
    void notMoveSelectedNode();

    NodePtr m_selectedNode;
    QPointF m_selectedPosition;
    QPointF m_selectedOffset;
    /// Where the marked group was when its drag began.
    QList<QPointF> m_groupStarts;
};

} // namespace lumora
