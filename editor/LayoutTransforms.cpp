#include "LayoutTransforms.h"

#include "document/GridFit.h"
#include "editor/View.h"

#include <QGuiApplication>

#include <cmath>

namespace lumora {

QRectF LayoutTransforms::bounds(const DocumentModel &model, bool markedOnly)
{
    const QPointF o = model.origin() ? model.origin()->position() : QPointF(0, 0);
    double minX = o.x(), maxX = o.x(), minY = o.y(), maxY = o.y();
    bool first = true;
    for (const NodePtr &node : model.leds()) {
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

QPointF LayoutTransforms::center(const DocumentModel &model, bool markedOnly)
{
    const QRectF r = bounds(model, markedOnly);
    return {r.x() + (r.width() - 1) / 2, r.y() + (r.height() - 1) / 2};
}

double LayoutTransforms::boundsOffset(const DocumentModel &model)
{
    const QPointF o = model.origin() ? model.origin()->position() : QPointF(0, 0);
    const QPointF x = model.xDirection() ? model.xDirection()->position() : QPointF(0, 0);
    const QPointF y = model.yDirection() ? model.yDirection()->position() : QPointF(0, 0);
    return std::hypot(x.x() - o.x(), x.y() - o.y()) + std::hypot(y.x() - o.x(), y.y() - o.y());
}

void LayoutTransforms::transformLeds(const std::function<QPointF(QPointF, QPointF)> &map)
{
    m_view.prepareAnimation();
    const bool marked = m_view.model()->isMarked();
    const QPointF c = center(*m_view.model(), marked);
    QList<NodePtr> nodes;
    QList<QPointF> targets;
    for (const NodePtr &node : m_view.model()->leds()) {
        if (!marked || node->isMarked()) {
            nodes.append(node);
            targets.append(map(node->position(), c));
        }
    }
    m_view.moveNodes(nodes, targets);
    m_view.updateBitmap();
}

void LayoutTransforms::mirrorX()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(2 * c.x() - p.x(), p.y()); });
}

void LayoutTransforms::mirrorY()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(p.x(), 2 * c.y() - p.y()); });
}

void LayoutTransforms::rotate()
{
    if (isOptionDown(QGuiApplication::keyboardModifiers())) {
        m_view.prepareAnimation();
        rotateLeft();
        return;
    }
    rotateClockwise();
}

void LayoutTransforms::rotateClockwise()
{
    // A quarter turn clockwise (y up).
    transformLeds([](QPointF p, QPointF c) { return QPointF(p.y() + c.x() - c.y(), c.x() + c.y() - p.x()); });
}

void LayoutTransforms::rotateLeft()
{
    transformLeds([](QPointF p, QPointF c) { return QPointF(c.x() - p.y() + c.y(), p.x() + c.y() - c.x()); });
}

void LayoutTransforms::scale()
{
    if (isOptionDown(QGuiApplication::keyboardModifiers()))
        scale2();
    else
        scaleFactor(1);
}

void LayoutTransforms::scaleToFit()
{
    scaleFactor(1);
}

void LayoutTransforms::scale2()
{
    scaleFactor(0.5);
}

void LayoutTransforms::scaleFactor(double f)
{
    m_view.prepareAnimation();
    m_view.showGrid();
    QRectF r = bounds(*m_view.model(), false);
    for (const NodePtr &handle : {m_view.model()->origin(), m_view.model()->xDirection(), m_view.model()->yDirection()}) {
        const QPointF p = handle ? handle->position() : QPointF(0, 0);
        // Unions of 1 × 1 rectangles, with the inclusive extents used throughout.
        const double left = std::min(r.x(), p.x()), top = std::min(r.y(), p.y());
        const double right = std::max(r.x() + r.width(), p.x() + 1);
        const double bottom = std::max(r.y() + r.height(), p.y() + 1);
        r = QRectF(left, top, right - left, bottom - top);
    }
    const double g = boundsOffset(*m_view.model());
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
    for (const NodePtr &node : m_view.model()->leds())
        fit(node);
    for (const NodePtr &handle : {m_view.model()->origin(), m_view.model()->xDirection(), m_view.model()->yDirection()})
        if (handle)
            fit(handle);
    m_view.moveNodes(nodes, targets);
    m_view.updateBitmap();
}

void LayoutTransforms::snapToGrid()
{
    m_view.prepareAnimation();
    const DocumentModel *model = m_view.model();
    const bool marked = model->isMarked();
    const auto grid = model->transform();
    QList<NodePtr> nodes;
    QList<QPointF> targets;
    for (const NodePtr &node : model->leds()) {
        if (!marked || node->isMarked()) {
            nodes.append(node);
            targets.append(grid ? grid->snap(node->position()) : node->position());
        }
    }
    m_view.moveNodes(nodes, targets);
    m_view.updateBitmap();
}

void LayoutTransforms::fitGrid()
{
    DocumentModel *model = m_view.model();
    model->setGrid(lumora::fitGrid(model->ledPositions()));
    m_view.updateEdges(false);
    m_view.update();
}

void LayoutTransforms::rotateGestureEnded(double rotation)
{
    if (rotation < 0)
        rotateClockwise();
    else
        rotateLeft();
}

void LayoutTransforms::magnifyGestureEnded(double magnification)
{
    scaleFactor(magnification > 0 ? 1 : 0.5);
}

void LayoutTransforms::gestureEnded(TrackpadGesture::Gesture gesture)
{
    using Gesture = TrackpadGesture::Gesture;
    switch (gesture) {
    case Gesture::RotateClockwise: rotateGestureEnded(-1); break;
    case Gesture::RotateCounterClockwise: rotateGestureEnded(1); break;
    case Gesture::Fit: magnifyGestureEnded(1); break;
    case Gesture::FitHalf: magnifyGestureEnded(-1); break;
    case Gesture::None: break;
    }
}

} // namespace lumora
