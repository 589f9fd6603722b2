#pragma once

#include <QPointF>

class QKeyEvent;
class QMouseEvent;

namespace lumora {

class View;

/// Middle-drag and Space+drag pan the view, whatever the tool.
class ViewPanning {
public:
    explicit ViewPanning(View &view) : m_view(view) {}

    /// Whether the event was taken for panning.
    bool press(QMouseEvent *event);
    bool move(QMouseEvent *event);
    bool release(QMouseEvent *event);
    bool key(QKeyEvent *event, bool down);

private:
    View &m_view;
    bool m_spaceDown = false;
    bool m_panning = false;
    QPointF m_panStart;
    QPointF m_panCentre;
};

} // namespace lumora
