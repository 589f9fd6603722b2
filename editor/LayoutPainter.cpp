// Painting the layout in one pass, bottom to top: the background picture, the lattice, the
// LED order line, the grid's axes, handles and duplicate markers, the LEDs.
#include "LayoutPainter.h"

#include "editor/View.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstring>

namespace lumora {

namespace {

const QColor windowBackground = QColor::fromRgbF(0.15f, 0.15f, 0.15f);

/// Blurs the alpha channel of a premultiplied image with three box passes (close to a
/// Gaussian), for the soft shadows under LEDs and the glow of a pressed one.
QImage blurred(const QImage &source, int radius)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius < 1)
        return image;
    const int w = image.width(), h = image.height();
    std::vector<int> line(std::max(w, h));
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 0; horizontal < 2; ++horizontal) {
            const int outer = horizontal ? h : w, inner = horizontal ? w : h;
            for (int o = 0; o < outer; ++o) {
                auto pixel = [&](int i) -> QRgb & {
                    return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(o))[i]
                                      : reinterpret_cast<QRgb *>(image.scanLine(i))[o];
                };
                for (int channel = 0; channel < 4; ++channel) {
                    const int shift = channel * 8;
                    for (int i = 0; i < inner; ++i)
                        line[i] = (pixel(i) >> shift) & 0xFF;
                    int sum = 0;
                    for (int i = -radius; i <= radius; ++i)
                        sum += (i >= 0 && i < inner) ? line[i] : 0;
                    for (int i = 0; i < inner; ++i) {
                        QRgb &p = pixel(i);
                        p = (p & ~(0xFFu << shift)) | (QRgb(sum / (2 * radius + 1)) << shift);
                        const int out = i - radius, in = i + radius + 1;
                        sum += (in < inner ? line[in] : 0) - (out >= 0 ? line[out] : 0);
                    }
                }
            }
        }
    }
    return image;
}

QPainterPath shapePath(NodeShape shape, const Node &node)
{
    QPainterPath path;
    switch (shape) {
    case NodeShape::Cross:
        path.moveTo(-10, -10);
        path.lineTo(10, 10);
        path.moveTo(10, -10);
        path.lineTo(-10, 10);
        break;
    case NodeShape::ChevronX:
        path.moveTo(-15, 10);
        path.lineTo(0, 0);
        path.lineTo(-15, -10);
        break;
    case NodeShape::ChevronY:
        path.moveTo(-10, -15);
        path.lineTo(0, 0);
        path.lineTo(10, -15);
        break;
    case NodeShape::Rectangle:
        path.addRect(static_cast<const RectangleNode &>(node).rectangle());
        break;
    }
    return path;
}

} // namespace

LayoutPainter::LayoutPainter(View &view) : m_view(view) {}

LayoutPainter::~LayoutPainter() = default;

const QPixmap &LayoutPainter::ringSprite(const QColor &stroke, bool glow, double scale)
{
    for (const Sprite &sprite : m_sprites)
        if (sprite.stroke == stroke.rgba() && sprite.glow == glow && sprite.scale == scale)
            return sprite.pixmap;

    // The ring (radius 10, width 3) with the LED layer's dark shadow, or the white glow of a
    // pressed LED, drawn once per colour and zoom.
    const int half = int(std::ceil(22 * scale));
    QImage image(2 * half, 2 * half, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    auto drawRing = [&](QImage &target, const QColor &color) {
        QPainter p(&target);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(half, half);
        p.scale(scale, scale);
        p.setPen(QPen(color, 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(-10, -10, 20, 20));
    };
    QImage shadow = image;
    drawRing(shadow, glow ? Qt::white : Qt::black);
    shadow = blurred(shadow, std::max(1, int(std::round((glow ? 5 : 4) * scale / 2))));
    QPainter p(&image);
    p.drawImage(0, 0, shadow);
    if (glow)
        p.drawImage(0, 0, shadow); // stronger, as a full-opacity white shadow reads
    p.end();
    drawRing(image, stroke);

    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(m_view.devicePixelRatioF());
    m_sprites.append({stroke.rgba(), glow, scale, pixmap});
    if (m_sprites.size() > 16)
        m_sprites.removeFirst();
    return m_sprites.last().pixmap;
}

bool LayoutPainter::isLineAliased() const
{
    return m_view.m_pressed && m_view.leds().size() > 1000;
}

quint64 LayoutPainter::staticLayerKey(QSize size, qreal ratio, const QTransform &toDevice, const DragLayers *drag) const
{
    // Everything the static layer shows, hashed: any change of a position, the grid, the
    // picture, the markers, the zoom or the pan redraws it; a preview tick, which changes
    // only fill colours, does not. A drag's key leaves out what the drag moves.
    quint64 h = 1469598103934665603ull;
    auto mix = [&h](quint64 v) { h = (h ^ v) * 1099511628211ull; };
    auto mixDouble = [&mix](double d) { quint64 bits; std::memcpy(&bits, &d, 8); mix(bits); };
    mix(quint64(size.width()) << 32 | quint64(size.height()));
    for (double component : {toDevice.m11(), toDevice.m22(), toDevice.dx(), toDevice.dy(), m_view.ledSize(), ratio})
        mixDouble(component);
    // A picture decodes off the window's thread and may be decoded anew when its file
    // changes: the same picture then shows other pixels.
    const PicturePtr background = m_view.model()->background();
    mix(quintptr(background.get()));
    mix(background && background->isDecoded() ? background->generation() + 1 : 0);
    mix(m_view.m_gridShown);
    mix(isLineAliased());
    mix(quint64(m_view.m_duplicates.size()));
    for (const NodePtr &marker : m_view.m_duplicates) {
        mixDouble(marker->position().x());
        mixDouble(marker->position().y());
    }
    const QList<NodePtr> &list = m_view.leds();
    mix(quint64(list.size()));
    for (qsizetype k = 0; k < list.size(); ++k) {
        if (drag && drag->moving[k])
            continue;
        const QPointF p = m_view.displayPosition(*list[k]);
        mixDouble(p.x());
        mixDouble(p.y());
    }
    for (const NodePtr &handle : {m_view.model()->origin(), m_view.model()->xDirection(), m_view.model()->yDirection(), m_view.tool()->handle()}) {
        mix(quintptr(handle.get()));
        if (handle) {
            const QPointF p = m_view.displayPosition(*handle);
            mixDouble(p.x());
            mixDouble(p.y());
            mix(handle == m_view.tool()->handle() || m_view.m_gridShown);
        }
    }
    return h;
}

const QPixmap &LayoutPainter::staticLayer(QSize size, qreal ratio, const QTransform &toDevice, quint64 key)
{
    if (key != m_staticKey || m_staticLayer.size() != size * ratio) {
        // Kept between redraws: reallocated only on resize.
        if (m_staticLayer.size() != size * ratio) {
            m_staticLayer = QPixmap(size * ratio);
            m_staticLayer.setDevicePixelRatio(ratio);
        }
        QPainter layer(&m_staticLayer);
        paintStaticLayer(layer, toDevice, LayerParts{});
        m_staticKey = key;
    }
    return m_staticLayer;
}

QPolygonF LayoutPainter::orderLinePoints() const
{
    QPolygonF line;
    if (m_view.leds().isEmpty())
        return line;
    const double thickness = m_view.ledSize() / 20; // lines thin down with the discs
    line.reserve(m_view.leds().size() + 2);
    line << m_view.displayPosition(*m_view.leds().first()) + QPointF(-10, 10) * thickness;
    for (const NodePtr &node : m_view.leds())
        line << m_view.displayPosition(*node);
    line << line.last() + QPointF(10, -10) * thickness;
    return line;
}

QList<QLineF> LayoutPainter::orderLineSegments(const DragLayers *drag, const QRectF *within) const
{
    const QPolygonF line = orderLinePoints();
    QList<QLineF> segments;
    segments.reserve(line.size());
    for (qsizetype s = 1; s < line.size(); ++s) {
        const QPointF a = line[s - 1], b = line[s];
        if (drag && drag->touches(s - 2, s - 1))
            continue;
        if (within && (std::max(a.x(), b.x()) < within->left() || std::min(a.x(), b.x()) > within->right() ||
                       std::max(a.y(), b.y()) < within->top() || std::min(a.y(), b.y()) > within->bottom()))
            continue;
        segments.append(QLineF(a, b));
    }
    return segments;
}

void LayoutPainter::strokeOrderLine(QPainter &painter, const QList<QLineF> &segments) const
{
    // Separate segments stroke in linear time (a long polyline does not); the joints lie
    // under the LEDs, so square segment ends do not show. While a big layout is redrawn
    // whole on every drag step, the line goes without antialiasing, smooth again on release.
    const double thickness = m_view.ledSize() / 20;
    painter.setRenderHint(QPainter::Antialiasing, !isLineAliased());
    painter.setPen(QPen(QColor(0, 0, 0, 110), 7 * thickness, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(segments);
    painter.setPen(QPen(Qt::white, 3 * thickness, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(segments);
    painter.setRenderHint(QPainter::Antialiasing);
}

void LayoutPainter::paintBackdrop(QPainter &painter, const QTransform &toDevice)
{
    const QRectF device(0, 0, painter.device()->width(), painter.device()->height());
    const QRectF space = toDevice.mapRect(View::layoutSpace());
    // Around the layout space (where the window's shape differs from it) a darker shade
    // shows where the space ends.
    painter.fillRect(device, windowBackground.darker(140));
    painter.fillRect(space, windowBackground);
    painter.setRenderHint(QPainter::Antialiasing);

    // The background picture, fitted and centred into the layout space.
    const PicturePtr background = m_view.model()->background();
    if (!background || !background->isDecoded())
        return;
    const QImage picture = background->preview();
    if (picture.isNull())
        return;
    const double s = std::min(1024.0 / picture.width(), 768.0 / picture.height());
    const QSizeF size(picture.width() * s, picture.height() * s);
    const QRectF frame(512 - size.width() / 2, 384 - size.height() / 2, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(toDevice.mapRect(frame), picture);
    painter.restore();
}

void LayoutPainter::paintGridAndMarkers(QPainter &painter)
{
    const DocumentModel &model = *m_view.model();
    const bool gridShown = m_view.m_gridShown;
    if (gridShown && model.origin()) {
        const QPointF o = m_view.displayPosition(*model.origin());
        if (model.xDirection()) {
            painter.setPen(QPen(Qt::red, 3));
            painter.drawLine(o, m_view.displayPosition(*model.xDirection()));
        }
        if (model.yDirection()) {
            painter.setPen(QPen(Qt::green, 3));
            painter.drawLine(o, m_view.displayPosition(*model.yDirection()));
        }
    }
    for (const NodePtr &marker : m_view.m_duplicates)
        drawShape(painter, *marker, {NodeShape::Cross, Qt::cyan, std::nullopt});
    if (gridShown) {
        if (model.origin())
            drawShape(painter, *model.origin(), {NodeShape::Cross, Qt::blue, std::nullopt});
        if (model.xDirection())
            drawShape(painter, *model.xDirection(), {NodeShape::ChevronX, Qt::red, std::nullopt});
        if (model.yDirection())
            drawShape(painter, *model.yDirection(), {NodeShape::ChevronY, Qt::green, std::nullopt});
    }
    if (const NodePtr handle = m_view.tool()->handle())
        drawShape(painter, *handle, {m_view.tool()->handleShape(), Qt::yellow, std::nullopt});
}

void LayoutPainter::paintStaticLayer(QPainter &painter, const QTransform &toDevice, const LayerParts &parts)
{
    if (parts.under)
        paintBackdrop(painter, toDevice);

    // From here on, layout coordinates with y up.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    painter.setTransform(toDevice);
    if (parts.under && m_view.m_gridShown && m_view.model()->yDirection() && !m_view.m_lattice.isEmpty()) {
        painter.setPen(QPen(QColor::fromRgbF(1, 1, 0, 0.3f), 1.5));
        painter.drawLines(m_view.m_lattice);
    }

    // The LED order line, with a tail in from the upper left and out to the lower right.
    if (parts.line && !m_view.leds().isEmpty())
        strokeOrderLine(painter, orderLineSegments(parts.drag));

    if (parts.over)
        paintGridAndMarkers(painter);
    painter.restore();

    // The direction arrows and the start marker, in device pixels so they read at any zoom.
    if (parts.over && parts.wiring)
        paintWiring(painter, toDevice, parts.drag);
}

void LayoutPainter::drawShape(QPainter &painter, const Node &node, const Look &look) const
{
    painter.save();
    painter.translate(m_view.displayPosition(node));
    painter.setPen(QPen(look.stroke, look.lineWidth));
    painter.setBrush(look.fill ? QBrush(*look.fill) : Qt::NoBrush);
    painter.drawPath(shapePath(look.shape, node));
    painter.restore();
}

void LayoutPainter::paintLeds(QPainter &painter, const QTransform &toDevice, LedFill fill, const DragLayers *drag,
                     const QRectF *within)
{
    // A plain disc of the fill colour (three solid rectangles, which the ring hides the
    // corners of) under a cached antialiased ring; later LEDs on top. Only those on screen
    // are drawn, which is what keeps a zoomed-in view of a big layout cheap.
    const QSize size(painter.device()->width(), painter.device()->height());
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double scale = toDevice.m11() * m_view.ledSize() / 20;
    const double d = 10 * scale, e = 5 * scale, f = 7.5 * scale;
    const double reach = 22 * scale;
    QRectF onScreen = QRectF(0, 0, size.width(), size.height()).adjusted(-reach, -reach, reach, reach);
    if (within)
        onScreen &= within->adjusted(-reach, -reach, reach, reach);
    const QList<NodePtr> &list = m_view.leds();
    for (qsizetype k = 0; k < list.size(); ++k) {
        if (drag && drag->moving[k])
            continue;
        const Node &node = *list[k];
        const QPointF mapped = toDevice.map(m_view.displayPosition(node));
        if (!onScreen.contains(mapped))
            continue;
        const QPointF c(std::round(mapped.x()), std::round(mapped.y()));
        const QColor color = fill == LedFill::Own     ? m_view.ledFill(k)
                             : fill == LedFill::Black ? QColor(Qt::black)
                             : fill == LedFill::White ? QColor(Qt::white)
                                                      : QColor::fromRgb(LedCoverage::indexColor(k));
        painter.fillRect(QRectF(c.x() - d, c.y() - e, 2 * d, 2 * e), color);
        painter.fillRect(QRectF(c.x() - e, c.y() - d, 2 * e, 2 * d), color);
        painter.fillRect(QRectF(c.x() - f, c.y() - f, 2 * f, 2 * f), color);
        if (fill == LedFill::Index)
            continue;
        const QPixmap &sprite = ringSprite(m_view.ledRing(k), node.isSelected(), scale * ratio);
        const double half = sprite.width() / ratio / 2;
        painter.drawPixmap(QPointF(c.x() - half, c.y() - half), sprite);
    }
}

void LayoutPainter::paint(QPainter &painter, const QTransform &toDevice, bool composited)
{
    if (!composited || (!paintDragStep(painter, toDevice) && !paintComposited(painter, toDevice))) {
        // Everything below the LEDs changes rarely: it is drawn once into a cached layer.
        const QSize size(painter.device()->width(), painter.device()->height());
        const qreal ratio = painter.device()->devicePixelRatioF();
        const quint64 key = staticLayerKey(size, ratio, toDevice);
        painter.drawPixmap(0, 0, staticLayer(size, ratio, toDevice, key));
        paintLeds(painter, toDevice, LedFill::Own);
        m_lastPaintPath = PaintPath::EveryLed;
    }

    if (m_view.m_numbersShown)
        paintNumbers(painter, toDevice, 10 * toDevice.m11() * m_view.ledSize() / 20);
}

} // namespace lumora
