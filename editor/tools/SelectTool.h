#pragma once

#include "editor/tools/LedDragTool.h"

#include <memory>

namespace lumora {

/// Select: a click on an LED marks or unmarks it, a drag from nothing marks what its
/// rectangle spans (with Shift added to the marking, with Option toggled), a drag from an
/// LED moves it.
class SelectTool : public LedDragTool {
public:
    using LedDragTool::LedDragTool;

    /// The rectangle being dragged out; none without.
    std::shared_ptr<RectangleNode> rubberband() const { return m_rubberband; }
    void paintOverlay(QPainter &painter) override;

protected:
    void mouseDown(QPointF point) override;
    void mouseDragged(QPointF point) override;
    void mouseUp(QPointF point, Qt::KeyboardModifiers modifiers) override;

private:
    std::shared_ptr<RectangleNode> m_rubberband;
};

} // namespace lumora
