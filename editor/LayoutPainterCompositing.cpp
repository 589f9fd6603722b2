// Compositing the layout: a frame that stays is kept as one image and a preview tick writes
// only the LEDs' fill colours into it; a drag keeps the frame without what it moves and
// redraws, step by step, only the region the moving LEDs and their segments of the order
// line cover.
#include "LayoutPainter.h"

#include "editor/View.h"

#include <QPainter>

#include <cmath>

namespace lumora {

namespace {

/// A drag of more LEDs than this (or of half the layout) repaints everything on each step.
constexpr qsizetype maximumMovingLeds = 2000;
/// A changed region of more rectangles than this is clipped to their bounding box.
constexpr qsizetype maximumClipRects = 24;

} // namespace

void LayoutPainter::setCompositing(bool on)
{
    m_compositing = on;
    m_coverage.clear();
    m_coverageKey = m_lastFrameKey = 0;
    endDrag();
    m_view.update();
}

bool LayoutPainter::collectFills(quint64 &looks)
{
    const QList<NodePtr> &list = m_view.leds();
    m_fillColors.resize(list.size());
    quint64 h = 1469598103934665603ull;
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QColor fill = m_view.ledFill(k);
        if (fill.alpha() != 255)
            return false;
        m_fillColors[k] = fill.rgb();
        h = (h ^ (quint64(m_view.ledRing(k).rgba()) << 1 | quint64(list[k]->isSelected()))) * 1099511628211ull;
    }
    looks = h;
    return list.size() <= LedCoverage::maximumLeds;
}

void LayoutPainter::buildCoverage(LedCoverage &coverage, const QPixmap &under, const QTransform &toDevice,
                         const DragLayers *drag)
{
    const qreal ratio = under.devicePixelRatio();
    auto render = [&](QImage::Format format, LedFill fill) {
        QImage image(under.size(), format);
        image.setDevicePixelRatio(ratio);
        if (fill == LedFill::Index)
            image.fill(0);
        QPainter painter(&image);
        if (fill != LedFill::Index)
            painter.drawPixmap(0, 0, under);
        paintLeds(painter, toDevice, fill, drag);
        return image;
    };
    const QImage black = render(QImage::Format_ARGB32_Premultiplied, LedFill::Black);
    const QImage white = render(QImage::Format_ARGB32_Premultiplied, LedFill::White);
    const QImage index = render(QImage::Format_RGB32, LedFill::Index);
    coverage.build(black, white, index, m_view.leds().size());
}

bool LayoutPainter::paintComposited(QPainter &painter, const QTransform &toDevice)
{
    quint64 looks = 0;
    if (!m_compositing || !collectFills(looks))
        return false;
    const QSize size(painter.device()->width(), painter.device()->height());
    const qreal ratio = painter.device()->devicePixelRatioF();
    const quint64 layer = staticLayerKey(size, ratio, toDevice);
    const quint64 key = (layer ^ looks) * 1099511628211ull;
    if (key != m_coverageKey || m_coverage.isNull()) {
        // A frame painted for the first time may be a pan or an animation step that the
        // next paint changes again: only the second paint of a frame composites it.
        if (key != m_lastFrameKey) {
            m_lastFrameKey = key;
            return false;
        }
        buildCoverage(m_coverage, staticLayer(size, ratio, toDevice, layer), toDevice, nullptr);
        m_coverageKey = key;
    }
    m_coverage.setColors(m_fillColors);
    painter.drawImage(0, 0, m_coverage.image());
    m_lastPaintPath = PaintPath::Composited;
    return true;
}

void LayoutPainter::beginDrag(const NodePtr &grabbed)
{
    if (m_drag || m_dragDeclined || !m_compositing)
        return;
    const QList<NodePtr> &list = m_view.leds();
    auto drag = std::make_unique<DragLayers>();
    drag->moving.assign(list.size(), 0);
    if (grabbed->isMarked()) {
        for (qsizetype k = 0; k < list.size(); ++k)
            if (list[k]->isMarked()) {
                drag->moving[k] = 1;
                drag->indices.append(k);
            }
    } else if (const qsizetype k = list.indexOf(grabbed); k >= 0) {
        drag->moving[k] = 1;
        drag->indices.append(k);
    }
    if (drag->indices.isEmpty() || drag->indices.size() > maximumMovingLeds || drag->indices.size() > list.size() / 2) {
        m_dragDeclined = true;
        return;
    }
    m_drag = std::move(drag);
}

void LayoutPainter::endDrag()
{
    m_drag.reset();
    m_dragDeclined = false;
}

bool LayoutPainter::paintDragStep(QPainter &painter, const QTransform &toDevice)
{
    quint64 looks = 0;
    if (!m_drag || !m_view.m_pressed || qsizetype(m_drag->moving.size()) != m_view.leds().size() || !collectFills(looks))
        return false;
    DragLayers &drag = *m_drag;
    const QSize size(painter.device()->width(), painter.device()->height());
    const qreal ratio = painter.device()->devicePixelRatioF();

    // What does not move, kept once: the whole frame without the moving LEDs, their
    // segments, arrows and start marker; what lies under the line; what lies above it but
    // the arrows (which are drawn again as one path).
    const quint64 key = staticLayerKey(size, ratio, toDevice, &drag);
    if (key != drag.key || drag.plain.isNull()) {
        drag.layer = QPixmap(size * ratio);
        drag.layer.setDevicePixelRatio(ratio);
        QPainter p(&drag.layer);
        paintStaticLayer(p, toDevice, {true, true, true, true, &drag});
        p.end();
        drag.plain = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        drag.plain.setDevicePixelRatio(ratio);
        p.begin(&drag.plain);
        p.drawPixmap(0, 0, drag.layer);
        paintLeds(p, toDevice, LedFill::Own, &drag);
        p.end();
        drag.plainFills = m_fillColors;
        drag.frame.clear();
        drag.under = QPixmap(size * ratio);
        drag.under.setDevicePixelRatio(ratio);
        p.begin(&drag.under);
        paintStaticLayer(p, toDevice, {true, false, false, false, nullptr});
        p.end();
        drag.over = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        drag.over.setDevicePixelRatio(ratio);
        drag.over.fill(Qt::transparent);
        p.begin(&drag.over);
        paintStaticLayer(p, toDevice, {false, false, true, false, &drag});
        p.end();
        drag.key = key;
    }
    if (drag.frame.isNull() && m_fillColors != drag.plainFills)
        buildCoverage(drag.frame, drag.layer, toDevice, &drag);
    if (drag.frame.isNull()) {
        painter.drawImage(0, 0, drag.plain);
    } else {
        drag.frame.setColors(m_fillColors);
        painter.drawImage(0, 0, drag.frame.image());
    }

    // The region the moving things cover now: each moving LED with its ring's shadow, its
    // two segments with their arrows, and the start marker when it turns with them.
    const QPolygonF line = orderLinePoints();
    const double scale = toDevice.m11() * m_view.ledSize() / 20;
    const double ledReach = 22 * scale + 2;
    const double segmentReach = std::max(3.5 * scale + 2, 12.0);
    QList<QRect> rects;
    auto cover = [&rects](QPointF a, QPointF b, double reach) {
        rects.append(QRectF(QPointF(std::min(a.x(), b.x()) - reach, std::min(a.y(), b.y()) - reach),
                            QPointF(std::max(a.x(), b.x()) + reach, std::max(a.y(), b.y()) + reach))
                         .toAlignedRect());
    };
    for (const qsizetype k : drag.indices) {
        const QPointF c = toDevice.map(line[k + 1]);
        cover(c, c, ledReach);
        cover(toDevice.map(line[k]), c, segmentReach);
        cover(c, toDevice.map(line[k + 2]), segmentReach);
    }
    if (drag.touches(0, 1)) {
        const QPointF start = toDevice.map(line[1]);
        cover(start, start, 10 * scale + 30);
    }
    QRegion region;
    if (rects.size() > maximumClipRects) {
        QRect box;
        for (const QRect &r : rects)
            box |= r;
        region = box;
    } else {
        for (const QRect &r : rects)
            region += r;
    }
    const QRectF bounds = region.boundingRect();

    // Inside it, everything again, bottom to top.
    painter.save();
    painter.setClipRegion(region);
    painter.drawPixmap(0, 0, drag.under);
    const double thickness = m_view.ledSize() / 20;
    const QRectF near = toDevice.inverted().mapRect(bounds).adjusted(-7 * thickness, -7 * thickness,
                                                                        7 * thickness, 7 * thickness);
    painter.save();
    painter.setTransform(toDevice);
    strokeOrderLine(painter, orderLineSegments(nullptr, &near));
    painter.restore();
    painter.drawImage(0, 0, drag.over);
    const QRectF arrowsNear = near.adjusted(-12 / toDevice.m11(), -12 / toDevice.m11(), 12 / toDevice.m11(),
                                            12 / toDevice.m11());
    paintWiring(painter, toDevice, nullptr, &arrowsNear);
    paintLeds(painter, toDevice, LedFill::Own, nullptr, &bounds);
    painter.restore();
    m_lastPaintPath = PaintPath::DragStep;
    return true;
}

} // namespace lumora
