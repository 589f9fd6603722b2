#include "ViewPanning.h"

#include "editor/View.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace lumora {

bool ViewPanning::press(QMouseEvent *event)
{
    const bool middle = event->button() == Qt::MiddleButton;
    const bool spaceDrag = event->button() == Qt::LeftButton && m_spaceDown;
    if (!middle && !spaceDrag)
        return false;
    m_panning = true;
    m_panStart = event->position();
    m_panCentre = m_view.viewCentre();
    m_view.setCursor(Qt::ClosedHandCursor);
    return true;
}

bool ViewPanning::move(QMouseEvent *event)
{
    if (!m_panning)
        return false;
    const double s = m_view.layoutTransform().m11();
    const QPointF d = (event->position() - m_panStart) / s;
    m_view.setViewCentre(m_panCentre + QPointF(-d.x(), d.y()));
    return true;
}

bool ViewPanning::release(QMouseEvent *event)
{
    if (!m_panning || (event->button() != Qt::MiddleButton && event->button() != Qt::LeftButton))
        return false;
    m_panning = false;
    m_view.setCursor(m_spaceDown ? Qt::OpenHandCursor : Qt::ArrowCursor);
    return true;
}

bool ViewPanning::key(QKeyEvent *event, bool down)
{
    if (event->key() != Qt::Key_Space)
        return false;
    if (!event->isAutoRepeat()) {
        m_spaceDown = down;
        if (!m_panning)
            m_view.setCursor(down ? Qt::OpenHandCursor : Qt::ArrowCursor);
    }
    return true;
}

} // namespace lumora
