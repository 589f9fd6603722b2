// Painting the strip and letting thumbnails glide to their slots.
#include "AnimationEditorView.h"

#include <QEasingCurve>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lumora {

QPointF AnimationEditorView::presentationCentre(const Thumbnail &thumbnail, qint64 now) const
{
    if (!thumbnail.gliding)
        return thumbnail.centre;
    const double progress = std::clamp(double(now - thumbnail.glideStart) / glideMilliseconds, 0.0, 1.0);
    static const QEasingCurve curve(QEasingCurve::InOutQuad);
    const double e = curve.valueForProgress(progress);
    return thumbnail.glideFrom + (thumbnail.centre - thumbnail.glideFrom) * e;
}

void AnimationEditorView::startGlide(Thumbnail &thumbnail, QPointF from)
{
    if (from == thumbnail.centre) {
        thumbnail.gliding = false;
        return;
    }
    thumbnail.glideFrom = from;
    thumbnail.glideStart = m_clock.elapsed();
    thumbnail.gliding = true;
    if (!m_animationTimer.isActive())
        m_animationTimer.start();
    QWidget::update();
}

void AnimationEditorView::placeLayer(const ThumbnailPtr &thumbnail, QPointF centre, bool animated)
{
    if (thumbnail->centre == centre)
        return;
    const QPointF from = presentationCentre(*thumbnail, m_clock.elapsed());
    thumbnail->centre = centre;
    if (animated)
        startGlide(*thumbnail, from);
    else
        thumbnail->gliding = false;
    QWidget::update();
}

void AnimationEditorView::dropTransform(const ThumbnailPtr &thumbnail)
{
    if (thumbnail->translation == 0)
        return;
    const QPointF from = presentationCentre(*thumbnail, m_clock.elapsed()) + QPointF(0, thumbnail->translation);
    thumbnail->translation = 0;
    startGlide(*thumbnail, from);
}

void AnimationEditorView::advanceAnimations()
{
    const qint64 now = m_clock.elapsed();
    bool running = false;
    for (const ThumbnailPtr &thumbnail : std::as_const(m_thumbnails)) {
        if (!thumbnail->gliding)
            continue;
        if (now - thumbnail->glideStart >= glideMilliseconds)
            thumbnail->gliding = false;
        else
            running = true;
    }
    if (!running)
        m_animationTimer.stop();
    QWidget::update();
}

void AnimationEditorView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const qint64 now = m_clock.elapsed();
    const qreal ratio = devicePixelRatioF();
    const QRectF exposed = event->rect();
    const QImage &shadow = shadowImage();
    const QImage &placeholder = placeholderImage();

    // Dragged thumbnails are drawn above the others.
    std::vector<qsizetype> order(size_t(m_thumbnails.size()));
    for (qsizetype i = 0; i < m_thumbnails.size(); ++i)
        order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](qsizetype a, qsizetype b) { return m_thumbnails[a]->z < m_thumbnails[b]->z; });

    for (qsizetype i : order) {
        const Thumbnail &t = *m_thumbnails[i];
        const QPointF centre = presentationCentre(t, now) + QPointF(0, t.translation);
        // Whole device pixels keep the images sharp while they glide.
        const QPointF topLeft(std::round((centre.x() - thumbnailWidth / 2.0) * ratio) / ratio,
                              std::round((centre.y() - thumbnailHeight / 2.0) * ratio) / ratio);
        const QRectF rect(topLeft, QSizeF(thumbnailWidth, thumbnailHeight));
        const QRectF shadowRect = rect.adjusted(-shadowMargin, -shadowMargin + 2, shadowMargin, shadowMargin + 2);
        if (!shadowRect.intersects(exposed))
            continue;
        painter.setOpacity(t.highlighted ? 1.0 : 0.7);
        painter.drawImage(shadowRect, shadow);
        painter.drawImage(rect, t.image.isNull() ? placeholder : t.image);
        if (t.borderWidth > 0) {
            // The border lies inside the thumbnail, over the picture.
            const double half = t.borderWidth / 2;
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(t.selectedBorder ? QColor(Qt::red) : QColor(Qt::white), t.borderWidth));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(rect.adjusted(half, half, -half, -half), 6 - half, 6 - half);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
    }

    if (m_rubberband) {
        painter.setOpacity(1.0);
        const QColor highlight = palette().color(QPalette::Highlight);
        QColor inside = highlight;
        inside.setAlphaF(0.1f);
        painter.setPen(QPen(highlight, 1));
        painter.setBrush(inside);
        painter.drawRect(m_rubberband->rectangle().translated(m_rubberband->position()).normalized());
    }
}

} // namespace lumora
