#include "Node.h"

namespace lumora {

std::shared_ptr<Node> Node::gridHandle(QPointF point)
{
    auto node = std::make_shared<Node>();
    node->setType(GridNode);
    node->setPosition(point);
    return node;
}

bool Node::containsPoint(QPointF point) const
{
    const double dx = point.x() - m_position.x();
    const double dy = point.y() - m_position.y();
    return dx * dx + dy * dy <= 100;
}

} // namespace lumora
