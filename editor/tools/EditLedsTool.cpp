#include "EditLedsTool.h"

#include "editor/View.h"

namespace lumora {

void EditLedsTool::mouseDown(QPointF p)
{
    if (selectNode(p)) {
        m_view.setCursor(Qt::OpenHandCursor);
        return;
    }
    const NodePtr node = m_view.addVertex(p);
    deselectNode();
    selectNode(node, p);
}

} // namespace lumora
