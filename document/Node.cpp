#include "Node.h"

namespace lumora {

bool Node::containsPoint(QPointF point) const
{
    const double dx = point.x() - m_position.x();
    const double dy = point.y() - m_position.y();
    return dx * dx + dy * dy <= 100;
}

} // namespace lumora
