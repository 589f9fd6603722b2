#pragma once

#include <QPointF>
#include <QRectF>

#include <memory>

namespace lumora {

/// One draggable point of a layout: an LED, a grid handle, a duplicate marker or the
/// rubberband. A node is a plain record of what the model keeps (place, type, marking); how
/// it looks is the View's business. Positions are layout coordinates (1024 × 768, y up).
class Node {
public:
    enum Type { Led = 0, GridNode = 1 };

    Node() = default;
    virtual ~Node() = default;
    Node(const Node &) = delete;
    Node &operator=(const Node &) = delete;

    QPointF position() const { return m_position; }
    void setPosition(QPointF position) { m_position = position; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    bool isMarked() const { return m_marked; }
    void setMarked(bool marked) { m_marked = marked; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

    /// A grid handle (or the grab handle of a grid drag) at the point.
    static std::shared_ptr<Node> gridHandle(QPointF point);

    /// True within a radius of 10 of the position, boundary included.
    bool containsPoint(QPointF point) const;

private:
    QPointF m_position;
    int m_type = Led;
    bool m_marked = false;
    bool m_selected = false;
};

/// A node with a rectangle relative to its position: the rubberband frame. Width and
/// height may be negative.
class RectangleNode : public Node {
public:
    QRectF rectangle() const { return m_rectangle; }
    void setRectangle(const QRectF &rectangle) { m_rectangle = rectangle; }

private:
    QRectF m_rectangle;
};

} // namespace lumora
