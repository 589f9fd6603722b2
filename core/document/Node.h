#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

namespace lumora {

/// One draggable point of a layout: an LED, a grid handle, a duplicate marker or the
/// rubberband. A node is a model object with the looks of its shape; the View paints it.
/// Positions are layout coordinates (1024 × 768, y up).
class Node {
public:
    enum Type { Led = 0, GridNode = 1 };
    enum class Shape { Circle, Cross, ChevronX, ChevronY, Rectangle };

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

    /// A grid handle (or the grab handle of a grid drag): an unfilled shape above the LEDs.
    static std::shared_ptr<Node> gridHandle(QPointF point, QColor stroke, Shape shape);

    /// True within a radius of 10 of the position, boundary included.
    bool containsPoint(QPointF point) const;

    // Looks.
    Shape shape = Shape::Circle;
    QColor stroke = Qt::white;
    std::optional<QColor> fill = QColor(Qt::black);
    double lineWidth = 3;
    int z = 0;
    /// The white glow of a pressed node.
    bool glow = false;
    /// Shown on screen (hidden grid handles keep their state).
    bool visible = true;

    // A transform's 0.2 s animation runs from here to the position.
    QPointF animationStart;
    bool animating = false;

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
    RectangleNode() { shape = Shape::Rectangle; }
    QRectF rectangle() const { return m_rectangle; }
    void setRectangle(const QRectF &rectangle) { m_rectangle = rectangle; }

private:
    QRectF m_rectangle;
};

} // namespace lumora
