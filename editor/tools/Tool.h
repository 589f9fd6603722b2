#pragma once

#include "document/DocumentModel.h"
#include "editor/NodeShape.h"

#include <QPointF>
#include <Qt>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace lumora {

class View;

/// Whether the Option key (Alt, or Ctrl, since window managers take Alt-drag) is down.
inline bool isOptionDown(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::AltModifier | Qt::ControlModifier);
}

/// One way of editing the layout with the mouse and keys. The view forwards its events to the
/// current tool in layout coordinates and paints the tool's overlay over the layout; a tool
/// changes the document only through the model.
class Tool {
public:
    explicit Tool(View &view) : m_view(view) {}
    virtual ~Tool() = default;
    Tool(const Tool &) = delete;
    Tool &operator=(const Tool &) = delete;

    /// Whether the tool holds a press of the left button as one to drag: the view then
    /// reports the moves until the release as drags, and the release as ending it.
    virtual bool holdsPresses() const { return false; }
    /// A press of the left button.
    virtual void press(QPointF point, QMouseEvent *event) = 0;
    /// Every move of the pointer; `dragging` while a press the tool holds is under way.
    virtual void move(QPointF point, QMouseEvent *event, bool dragging) = 0;
    /// The left button's release; `pressed` when the tool held its press. Whether it was used.
    virtual bool release(QPointF point, QMouseEvent *event, bool pressed) = 0;
    virtual bool doubleClick(QPointF, QMouseEvent *) { return false; }
    /// Whether the key was used.
    virtual bool key(QKeyEvent *) { return false; }
    /// Whether the tool wants the key before the window's shortcuts.
    virtual bool wantsKey(const QKeyEvent *) const { return false; }
    /// Drawn over the layout, in widget coordinates.
    virtual void paintOverlay(QPainter &) {}
    /// The tool became the view's current one.
    virtual void begin() {}
    /// Another tool takes over before this one finished.
    virtual void cancel() {}
    /// The cursor the tool shows from its start; none keeps the view's.
    virtual std::optional<Qt::CursorShape> cursor() const { return std::nullopt; }

    /// The LED or handle the press under way holds.
    virtual NodePtr selectedNode() const { return nullptr; }
    /// A handle the tool shows among the grid's while it drags the grid.
    virtual NodePtr handle() const { return nullptr; }
    /// How that handle is drawn.
    virtual NodeShape handleShape() const { return NodeShape::Cross; }

protected:
    View &m_view;
};

} // namespace lumora
