#pragma once

#include "editor/tools/EditGridTool.h"

namespace lumora {

/// Preview's drag: while the grid's lattice is on display, presses reach the grid (and its
/// LEDs, unsnapped) as in Edit Grid, so the pattern follows the grid as it moves; with the
/// lattice hidden, presses do nothing.
class PreviewDragTool : public EditGridTool {
public:
    using EditGridTool::EditGridTool;

protected:
    void mouseDown(QPointF point) override;
    void mouseDragged(QPointF point) override;
    void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers) override;
    bool snapsLeds() const override { return false; }
};

} // namespace lumora
