// Draw Strip: a strip of LEDs along a line dragged with the mouse or a polyline clicked point
// by point, with the line and its LEDs previewed while drawing.
#include "View.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

/// A press this close (pixels) to the last point adds none: it is the second press of a
/// double click, or a slip.
constexpr double samePointPixels = 4;

/// Points stay inside the layout space, where the LEDs can be seen and exported.
QPointF insideLayout(QPointF p)
{
    const QRectF space = View::layoutSpace();
    return {std::clamp(p.x(), space.left(), std::nextafter(space.right(), 0.0)),
            std::clamp(p.y(), space.top(), std::nextafter(space.bottom(), 0.0))};
}

} // namespace

void View::startDrawingStrip(const StripPlacement &placement, bool snap)
{
    stopWiring();
    deselectNode();
    m_strip = StripDrawing();
    m_stripPlacement = placement;
    m_stripSnap = snap;
    setCursor(Qt::CrossCursor);
    refreshStrip();
}

void View::cancelDrawingStrip()
{
    if (!m_strip)
        return;
    m_strip.reset();
    unsetCursor();
    emit statusMessage(tr("Draw Strip cancelled; nothing was added."));
    QWidget::update();
}

QList<QPointF> View::stripLine() const
{
    if (!m_strip || m_strip->points.isEmpty())
        return {};
    QList<QPointF> line = m_strip->points;
    if (line.last() != m_strip->pointer)
        line.append(m_strip->pointer);
    return line;
}

QList<QPointF> View::stripPreview() const
{
    const QList<QPointF> line = stripLine();
    if (line.size() < 2)
        return {};
    QList<QPointF> positions = stripAlong(line, m_stripPlacement);
    // The preview shows the LEDs where they will land, snapped as the model will snap them.
    if (const auto grid = m_stripSnap ? transform() : std::nullopt)
        for (QPointF &p : positions)
            p = grid->snap(p);
    return positions;
}

void View::refreshStrip()
{
    if (!m_strip)
        return;
    QWidget::update();
    const StripPlacement &placement = m_stripPlacement;
    const QString by = placement.by == StripPlacement::Count
                           ? tr("%n LED(s)", nullptr, placement.count)
                           : tr("an LED every %1 units").arg(placement.spacing, 0, 'f', 1);
    if (!m_strip->dragging && !m_strip->polyline) {
        emit statusMessage(tr("Draw Strip (%1): drag a line, or click its points one by one; Escape cancels.").arg(by));
        return;
    }
    const QString hint = m_strip->polyline
                             ? tr("click the next point, double-click or Enter finishes, Backspace takes back a point")
                             : tr("release to finish");
    emit statusMessage(tr("Draw Strip: %n LED(s) along %1 units; %2; +/− changes the %3.", nullptr,
                          int(stripPreview().size()))
                           .arg(polylineLength(stripLine()), 0, 'f', 0)
                           .arg(hint, placement.by == StripPlacement::Count ? tr("count") : tr("spacing")));
}

View::StripDrawing *View::movedStripPointer(QPointF at)
{
    if (m_strip)
        m_strip->pointer = insideLayout(pointFromEvent(at));
    return m_strip ? &*m_strip : nullptr;
}

bool View::stripPress(QPointF at)
{
    StripDrawing *strip = movedStripPointer(at);
    if (!strip)
        return false;
    if (strip->points.isEmpty()) {
        strip->points.append(strip->pointer);
        strip->pressAt = at;
        strip->pressed = true;
    } else if (strip->polyline && QLineF(widgetPoint(strip->points.last()), at).length() >= samePointPixels) {
        strip->points.append(strip->pointer);
    }
    refreshStrip();
    return true;
}

bool View::stripMove(QPointF at)
{
    StripDrawing *strip = movedStripPointer(at);
    if (!strip)
        return false;
    if (strip->pressed && !strip->polyline && QLineF(strip->pressAt, at).length() >= QApplication::startDragDistance())
        strip->dragging = true;
    refreshStrip();
    return true;
}

bool View::stripRelease(QPointF at)
{
    StripDrawing *strip = movedStripPointer(at);
    if (!strip || !strip->pressed)
        return strip != nullptr;
    strip->pressed = false;
    if (strip->dragging) {
        finishStrip({strip->points.first(), strip->pointer});
        return true;
    }
    // A click without a drag starts a polyline at the press.
    strip->polyline = true;
    strip->pointer = strip->points.first();
    refreshStrip();
    return true;
}

void View::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_strip || event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    // The double click stands for the pair's second press: its point is the one the first
    // click placed already, unless the pointer moved in between.
    if (m_strip->polyline)
        stripPress(event->position());
    if (m_strip->polyline && m_strip->points.size() >= 2)
        finishStrip(m_strip->points);
}

bool View::isStripKey(const QKeyEvent *event) const
{
    if (!m_strip || (event->modifiers() & Qt::ControlModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        return true;
    default:
        return false;
    }
}

bool View::stripKey(QKeyEvent *event)
{
    if (!isStripKey(event))
        return false;
    StripDrawing &strip = *m_strip;
    switch (event->key()) {
    case Qt::Key_Escape:
        cancelDrawingStrip();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (strip.polyline && strip.points.size() >= 2)
            finishStrip(strip.points);
        else
            emit statusMessage(tr("Draw Strip needs two points at least: click another one, or drag a line."));
        return true;
    case Qt::Key_Backspace:
        if (strip.polyline) {
            strip.points.removeLast();
            if (strip.points.isEmpty())
                strip = StripDrawing();
        }
        break;
    default: {
        const int step = event->key() == Qt::Key_Minus ? -1 : 1;
        if (m_stripPlacement.by == StripPlacement::Count)
            m_stripPlacement.count = std::clamp(m_stripPlacement.count + step, 1, maxGeneratedLeds);
        else
            m_stripPlacement.spacing = std::max(1.0, m_stripPlacement.spacing + step);
        break;
    }
    }
    refreshStrip();
    return true;
}

void View::finishStrip(QList<QPointF> line)
{
    m_strip.reset();
    unsetCursor();
    QWidget::update();
    // The model snaps the same positions the preview showed snapped.
    const QList<QPointF> positions = stripAlong(line, m_stripPlacement);
    if (positions.isEmpty())
        return emit statusMessage(tr("These settings make no LEDs; nothing was added."));
    m_model->addLeds(positions, "add strip", m_stripSnap);
    emit statusMessage(tr("Added %n LED(s); they are marked.", nullptr, int(positions.size())));
}

void View::paintStripDrawing(QPainter &painter)
{
    const QList<QPointF> line = stripLine();
    if (line.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF drawn;
    for (const QPointF &p : line)
        drawn << m_toWidget.map(p);
    const QColor ink(80, 220, 255);
    painter.setPen(QPen(QColor(0, 0, 0, 140), 4));
    painter.drawPolyline(drawn);
    painter.setPen(QPen(ink, 2));
    painter.drawPolyline(drawn);
    painter.setBrush(ink);
    painter.setPen(Qt::NoPen);
    for (const QPointF &p : m_strip->points) {
        const QPointF c = m_toWidget.map(p);
        painter.drawRect(QRectF(c.x() - 3, c.y() - 3, 6, 6));
    }

    // The LEDs to be, as hollow discs a little smaller than the real ones.
    const double radius = std::clamp(ledSize() / 2 * m_toWidget.m11() * 0.7, 3.0, 9.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 160), 3.5));
    const QList<QPointF> preview = stripPreview();
    for (const QPointF &p : preview)
        painter.drawEllipse(m_toWidget.map(p), radius, radius);
    painter.setPen(QPen(QColor(255, 220, 60), 1.5));
    for (const QPointF &p : preview)
        painter.drawEllipse(m_toWidget.map(p), radius, radius);
    painter.restore();
}

} // namespace lumora
