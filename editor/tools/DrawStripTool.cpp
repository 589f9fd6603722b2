#include "DrawStripTool.h"

#include "editor/View.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
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

DrawStripTool::DrawStripTool(View &view, StripPlacement &placement, bool snap)
    : Tool(view), m_placement(placement), m_snap(snap)
{
}

void DrawStripTool::cancel()
{
    emit m_view.statusMessage(View::tr("Draw Strip cancelled; nothing was added."));
    m_view.update();
}

QList<QPointF> DrawStripTool::line() const
{
    if (m_points.isEmpty())
        return {};
    QList<QPointF> line = m_points;
    if (line.last() != m_pointer)
        line.append(m_pointer);
    return line;
}

QList<QPointF> DrawStripTool::preview() const
{
    const QList<QPointF> drawn = line();
    if (drawn.size() < 2)
        return {};
    QList<QPointF> positions = stripAlong(drawn, m_placement);
    // The preview shows the LEDs where they will land, snapped as the model will snap them.
    if (const auto grid = m_snap ? m_view.model()->transform() : std::nullopt)
        for (QPointF &p : positions)
            p = grid->snap(p);
    return positions;
}

void DrawStripTool::refresh()
{
    m_view.update();
    const QString by = m_placement.by == StripPlacement::Count
                           ? View::tr("%n LED(s)", nullptr, m_placement.count)
                           : View::tr("an LED every %1 units").arg(m_placement.spacing, 0, 'f', 1);
    if (!m_dragging && !m_polyline) {
        emit m_view.statusMessage(
            View::tr("Draw Strip (%1): drag a line, or click its points one by one; Escape cancels.").arg(by));
        return;
    }
    const QString hint =
        m_polyline ? View::tr("click the next point, double-click or Enter finishes, Backspace takes back a point")
                   : View::tr("release to finish");
    emit m_view.statusMessage(
        View::tr("Draw Strip: %n LED(s) along %1 units; %2; +/− changes the %3.", nullptr, int(preview().size()))
            .arg(polylineLength(line()), 0, 'f', 0)
            .arg(hint, m_placement.by == StripPlacement::Count ? View::tr("count") : View::tr("spacing")));
}

void DrawStripTool::movePointer(QPointF at)
{
    m_pointer = insideLayout(m_view.pointFromEvent(at));
}

void DrawStripTool::pressAt(QPointF at)
{
    movePointer(at);
    if (m_points.isEmpty()) {
        m_points.append(m_pointer);
        m_pressAt = at;
        m_pressed = true;
    } else if (m_polyline && QLineF(m_view.widgetPoint(m_points.last()), at).length() >= samePointPixels) {
        m_points.append(m_pointer);
    }
}

void DrawStripTool::press(QPointF, QMouseEvent *event)
{
    pressAt(event->position());
    refresh();
}

void DrawStripTool::move(QPointF, QMouseEvent *event, bool)
{
    const QPointF at = event->position();
    movePointer(at);
    if (m_pressed && !m_polyline && QLineF(m_pressAt, at).length() >= QApplication::startDragDistance())
        m_dragging = true;
    refresh();
}

bool DrawStripTool::release(QPointF, QMouseEvent *event, bool)
{
    movePointer(event->position());
    if (!m_pressed)
        return true;
    m_pressed = false;
    if (m_dragging) {
        finish({m_points.first(), m_pointer});
        return true;
    }
    // A click without a drag starts a polyline at the press.
    m_polyline = true;
    m_pointer = m_points.first();
    refresh();
    return true;
}

bool DrawStripTool::doubleClick(QPointF, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    // The double click stands for the pair's second press: its point is the one the first
    // click placed already, unless the pointer moved in between.
    if (m_polyline) {
        pressAt(event->position());
        refresh();
    }
    if (m_polyline && m_points.size() >= 2)
        finish(m_points);
    return true;
}

bool DrawStripTool::wantsKey(const QKeyEvent *event) const
{
    if (event->modifiers() & Qt::ControlModifier)
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

bool DrawStripTool::key(QKeyEvent *event)
{
    if (!wantsKey(event))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        m_view.endTool();
        cancel();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_polyline && m_points.size() >= 2)
            finish(m_points);
        else
            emit m_view.statusMessage(
                View::tr("Draw Strip needs two points at least: click another one, or drag a line."));
        return true;
    case Qt::Key_Backspace:
        if (m_polyline) {
            m_points.removeLast();
            if (m_points.isEmpty()) {
                m_pointer = m_pressAt = QPointF();
                m_pressed = m_dragging = m_polyline = false;
            }
        }
        break;
    default: {
        const int step = event->key() == Qt::Key_Minus ? -1 : 1;
        if (m_placement.by == StripPlacement::Count)
            m_placement.count = std::clamp(m_placement.count + step, 1, maxGeneratedLeds);
        else
            m_placement.spacing = std::max(1.0, m_placement.spacing + step);
        break;
    }
    }
    refresh();
    return true;
}

void DrawStripTool::finish(QList<QPointF> line)
{
    View &view = m_view;
    const StripPlacement placement = m_placement;
    const bool snap = m_snap;
    view.endTool();
    view.update();
    // The model snaps the same positions the preview showed snapped.
    const QList<QPointF> positions = stripAlong(line, placement);
    if (positions.isEmpty())
        return emit view.statusMessage(View::tr("These settings make no LEDs; nothing was added."));
    view.model()->addLeds(positions, "add strip", snap);
    emit view.statusMessage(View::tr("Added %n LED(s); they are marked.", nullptr, int(positions.size())));
}

void DrawStripTool::paintOverlay(QPainter &painter)
{
    const QList<QPointF> drawn = line();
    if (drawn.isEmpty())
        return;
    const QTransform &toWidget = m_view.layoutTransform();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF polyline;
    for (const QPointF &p : drawn)
        polyline << toWidget.map(p);
    const QColor ink(80, 220, 255);
    painter.setPen(QPen(QColor(0, 0, 0, 140), 4));
    painter.drawPolyline(polyline);
    painter.setPen(QPen(ink, 2));
    painter.drawPolyline(polyline);
    painter.setBrush(ink);
    painter.setPen(Qt::NoPen);
    for (const QPointF &p : m_points) {
        const QPointF c = toWidget.map(p);
        painter.drawRect(QRectF(c.x() - 3, c.y() - 3, 6, 6));
    }

    // The LEDs to be, as hollow discs a little smaller than the real ones.
    const double radius = std::clamp(m_view.ledSize() / 2 * toWidget.m11() * 0.7, 3.0, 9.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 160), 3.5));
    const QList<QPointF> leds = preview();
    for (const QPointF &p : leds)
        painter.drawEllipse(toWidget.map(p), radius, radius);
    painter.setPen(QPen(QColor(255, 220, 60), 1.5));
    for (const QPointF &p : leds)
        painter.drawEllipse(toWidget.map(p), radius, radius);
    painter.restore();
}

} // namespace lumora
