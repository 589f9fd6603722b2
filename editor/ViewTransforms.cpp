// Whole-layout transforms: mirror, quarter turns and fitting into the layout space. Each
// moves its nodes as one undoable change of the model, so one undo step (one flat record)
// reverts it; none is named.
#include "View.h"

#include <QGuiApplication>

#include <cmath>

namespace lumora {

QRectF View::bounds(bool markedOnly) const
{
    const QPointF o = origin() ? origin()->position() : QPointF(0, 0);
    double minX = o.x(), maxX = o.x(), minY = o.y(), maxY = o.y();
    bool first = true;
    for (const NodePtr &node : leds()) {
        if (markedOnly && !node->isMarked())
            continue;
        const QPointF p = node->position();
        if (first) {
            minX = maxX = p.x();
            minY = maxY = p.y();
            first = false;
            continue;
        }
        if (p.x() < minX) minX = p.x();
        else if (p.x() > maxX) maxX = p.x();
        if (p.y() < minY) minY = p.y();
        else if (p.y() > maxY) maxY = p.y();
    }
    return QRectF(minX, minY, maxX - minX + 1, maxY - minY + 1);
}

QPointF View::center(bool markedOnly) const
{
    const QRectF r = bounds(markedOnly);
    return {r.x() + (r.width() - 1) / 2, r.y() + (r.height() - 1) / 2};
}

double View::boundsOffset() const
{
    const QPointF o = origin() ? origin()->position() : QPointF(0, 0);
    const QPointF x = xDirection() ? xDirection()->position() : QPointF(0, 0);
    const QPointF y = yDirection() ? yDirection()->position() : QPointF(0, 0);
    return std::hypot(x.x() - o.x(), x.y() - o.y()) + std::hypot(y.x() - o.x(), y.y() - o.y());
}

void View::prepareAnimation()
{
    // Moves made during this event glide over 0.2 s.
    m_animationPrepared = true;
    m_animationClock.start();
    m_animationTimer.start();
    QTimer::singleShot(0, this, [this] { m_animationPrepared = false; });
}

void View::transformLeds(const std::function<QPointF(QPointF, QPointF)> &map)
{
    prepareAnimation();
    const bool marked = isMarked();
    const QPointF c = center(marked);
    QList<NodePtr> nodes;
    QList<QPointF> targets;
    for (const NodePtr &node : leds()) {
        if (!marked || node->isMarked()) {
            nodes.append(node);
            targets.append(map(node->position(), c));
        }
    }
    moveNodes(nodes, targets);
    updateBitmap();
}

void View::mirrorX()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(2 * c.x() - p.x(), p.y()); });
}

void View::mirrorY()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(p.x(), 2 * c.y() - p.y()); });
}

void View::rotate()
{
    if (isOptionDown(QGuiApplication::keyboardModifiers())) {
        prepareAnimation();
        rotateLeft();
        return;
    }
    rotateClockwise();
}

void View::rotateClockwise()
{
    // A quarter turn clockwise (y up).
    transformLeds([](QPointF p, QPointF c) { return QPointF(p.y() + c.x() - c.y(), c.x() + c.y() - p.x()); });
}

void View::rotateLeft()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(c.x() - p.y() + c.y(), p.x() + c.y() - c.x()); });
}

void View::scale()
{
    if (isOptionDown(QGuiApplication::keyboardModifiers()))
        scale2();
    else
        scaleFactor(1);
}

void View::scaleToFit()
{
    scaleFactor(1);
}

void View::scale2()
{
    scaleFactor(0.5);
}

void View::scaleFactor(double f)
{
    prepareAnimation();
    showGrid();
    QRectF r = bounds(false);
    for (const NodePtr &handle : {origin(), xDirection(), yDirection()}) {
        const QPointF p = handle ? handle->position() : QPointF(0, 0);
        // Unions of 1 × 1 rectangles, with the inclusive extents used throughout.
        const double left = std::min(r.x(), p.x()), top = std::min(r.y(), p.y());
        const double right = std::max(r.x() + r.width(), p.x() + 1);
        const double bottom = std::max(r.y() + r.height(), p.y() + 1);
        r = QRectF(left, top, right - left, bottom - top);
    }
    const double g = boundsOffset();
    const double k = std::min(1024 / (r.width() + g), 768 / (r.height() + g)) * f;
    const QPointF M(r.x() + (r.width() - 1) * 0.5, r.y() + (r.height() - 1) * 0.5);
    QList<NodePtr> nodes;
    QList<QPointF> targets;
    auto fit = [&](const NodePtr &node) {
        const QPointF p = node->position();
        const QPointF target((p.x() - M.x()) * k + 512, (p.y() - M.y()) * k + 384);
        // An empty, gridless layout has nothing to fit; never move anything to NaN.
        if (std::isfinite(target.x()) && std::isfinite(target.y())) {
            nodes.append(node);
            targets.append(target);
        }
    };
    for (const NodePtr &node : leds())
        fit(node);
    for (const NodePtr &handle : {origin(), xDirection(), yDirection()})
        if (handle)
            fit(handle);
    moveNodes(nodes, targets);
    updateBitmap();
}

} // namespace lumora
