// Zoom and pan: the one transform between layout and widget, the wheel, the zoom commands,
// and panning by middle-drag or Space+drag.
#include "View.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
constexpr double zoomStep = 1.25;

/// The centre clamped so that the view never scrolls beyond the layout space, for a view
/// showing `half` layout units either side of it.
double clampedCentre(double centre, double half, double length)
{
    if (half >= length / 2)
        return length / 2;
    return std::clamp(centre, half, length - half);
}
} // namespace

QTransform View::fitTransform(QSizeF size, double zoom, QPointF centre)
{
    const QRectF space = layoutSpace();
    const double s = std::min(size.width() / space.width(), size.height() / space.height()) * zoom;
    // x' = s·x + w/2 − s·cx, y' = −s·y + h/2 + s·cy: y grows upwards in the layout.
    return QTransform(s, 0, 0, -s, size.width() / 2 - s * centre.x(), size.height() / 2 + s * centre.y());
}

void View::updateViewTransform()
{
    const QRectF space = layoutSpace();
    const double s = std::min(width() / space.width(), height() / space.height()) * m_zoom;
    if (s > 0) {
        m_centre.setX(clampedCentre(m_centre.x(), width() / 2.0 / s, space.width()));
        m_centre.setY(clampedCentre(m_centre.y(), height() / 2.0 / s, space.height()));
    }
    const QTransform next = fitTransform(size(), m_zoom, m_centre);
    if (next == m_toWidget)
        return;
    m_toWidget = next;
    QWidget::update();
    emit viewChanged();
}

double View::maximumZoom() const
{
    refreshSpacing();
    const double unit = fitTransform(size()).m11();
    if (!(m_closestSpacing > 0) || !(unit > 0))
        return defaultMaximumZoom;
    const double needed = closestLedPixels / (m_closestSpacing * unit);
    return std::clamp(needed, defaultMaximumZoom, 4096.0);
}

void View::setZoom(double zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, 1.0, maximumZoom());
    const QPointF fixed = pointFromEvent(anchor);
    m_zoom = zoom;
    // The layout point under the anchor stays under it: shift the centre by the anchor's
    // offset from the middle, measured at the new scale.
    const double s = fitTransform(size(), zoom).m11();
    const QPointF offset = anchor - QPointF(width() / 2.0, height() / 2.0);
    m_centre = fixed - QPointF(offset.x() / s, -offset.y() / s);
    updateViewTransform();
}

void View::setViewCentre(QPointF centre)
{
    m_centre = centre;
    updateViewTransform();
}

QRectF View::visibleLayoutRect() const
{
    return m_toWidget.inverted().mapRect(QRectF(rect())).intersected(layoutSpace());
}

void View::zoomIn()
{
    setZoom(m_zoom * zoomStep, rect().center());
}

void View::zoomOut()
{
    setZoom(m_zoom / zoomStep, rect().center());
}

void View::zoomToFit()
{
    m_zoom = 1;
    m_centre = layoutSpace().center();
    updateViewTransform();
}

void View::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        // One notch of a mouse wheel (120) is one zoom step; trackpads send finer steps.
        setZoom(m_zoom * std::pow(zoomStep, delta.y() / 120.0), event->position());
        event->accept();
        return;
    }
    if (m_zoom <= 1)
        return QWidget::wheelEvent(event);
    const double s = m_toWidget.m11();
    QPointF step = QPointF(delta) / 120.0 * 60.0 / s; // 60 pixels a notch
    if (event->modifiers() & Qt::ShiftModifier)
        step = QPointF(step.y(), step.x());
    setViewCentre(m_centre + QPointF(-step.x(), step.y()));
    event->accept();
}

} // namespace lumora
