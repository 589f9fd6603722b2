#include "PreviewDragTool.h"

#include "editor/View.h"

namespace lumora {

void PreviewDragTool::mouseDown(QPointF p)
{
    if (m_view.model()->gridState() != 3 || !m_view.isGridShown())
        return;
    EditGridTool::mouseDown(p);
}

void PreviewDragTool::mouseDragged(QPointF p)
{
    if (m_view.isGridShown())
        EditGridTool::mouseDragged(p);
    else
        LedDragTool::mouseDragged(p);
}

void PreviewDragTool::mouseUp(QPointF p, Qt::KeyboardModifiers modifiers)
{
    if (m_view.isGridShown())
        EditGridTool::mouseUp(p, modifiers);
    else
        LedDragTool::mouseUp(p, modifiers);
}

} // namespace lumora
