// The canvas paints the layout through its painter, then the current tool's overlay.
#include "View.h"

#include "editor/NextLedMarker.h"

#include <QPainter>

namespace lumora {

QPointF View::displayPosition(const Node &node) const
{
    if (m_glideStarts.isEmpty() || !m_animationClock.isValid())
        return node.position();
    const auto glide = m_glideStarts.constFind(&node);
    if (glide == m_glideStarts.cend())
        return node.position();
    const QPointF start = glide->second;
    const double t = std::min(1.0, m_animationClock.elapsed() / 200.0);
    const double eased = t * t * (3 - 2 * t);
    return start + (node.position() - start) * eased;
}

void View::paintEvent(QPaintEvent *)
{
    m_painting = true;
    updateEdges(true);
    QPainter painter(this);
    m_layoutPainter.paint(painter, m_toWidget);
    tool()->paintOverlay(painter);
    if (m_mode->marksNextLed)
        NextLedMarker(*this).paint(painter);
    m_painting = false;
}

QImage View::renderLayout(int renderWidth)
{
    QImage image(renderWidth, renderWidth * 3 / 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    // A one-off picture at its own size: the composited layers are the screen's.
    m_layoutPainter.paint(painter, fitTransform(image.size()), false);
    painter.end();
    return image;
}

} // namespace lumora
