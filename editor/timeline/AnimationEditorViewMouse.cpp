// The mouse on the timeline: a click picks the current frame, Shift-clicks and the
// rubberband extend the selection, and dragging a thumbnail moves the selected frames.
// The press itself changes nothing; a click acts on release, a drag on its first step.
#include "AnimationEditorView.h"

#include "document/UndoManager.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace lumora {

namespace {

/// Autoscrolling starts this long after the press, then repeats at the shorter interval.
constexpr int autoscrollDelay = 500;
constexpr int autoscrollInterval = 20;
/// The mouse scrolls the strip within this many points of the scroll area's edge.
constexpr int autoscrollEdge = 12;

} // namespace

qsizetype AnimationEditorView::thumbnailAt(QPointF point) const
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < m_thumbnails.size(); ++i) {
        const Thumbnail &t = *m_thumbnails[i];
        // The topmost wins: higher z, then later in the list.
        if (t.hidden || !thumbnailRect(i).contains(point))
            continue;
        if (found < 0 || t.z >= m_thumbnails[found]->z)
            found = i;
    }
    return found;
}

void AnimationEditorView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_lastGlobal = event->globalPosition().toPoint();
    m_autoscrollTimer.start(autoscrollDelay);
    // However many events the drag takes, press to release is one undo step.
    m_model->undoManager()->beginUndoGrouping();
    event->accept();
}

void AnimationEditorView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    m_lastGlobal = event->globalPosition().toPoint();
    mouseDragged(event->position(), event->modifiers());
}

void AnimationEditorView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    m_autoscrollTimer.stop();
    mouseUp(event->position(), event->modifiers());
    m_model->undoManager()->endUndoGrouping();
    unsetCursor();
}

void AnimationEditorView::selectFrame(QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (!m_animationEditor)
        return;
    const qsizetype index = thumbnailAt(point);
    if (index < 0) {
        deselectAllFrames();
        if (selectedFrame() >= 0) {
            m_choosingFrame = true;
            m_model->setCurrentFrame(-1, false);
            m_choosingFrame = false;
        }
        return;
    }
    const ThumbnailPtr thumbnail = m_thumbnails[index];
    if (modifiers & Qt::ShiftModifier) {
        const bool selected = !isSelectedFrame(index);
        selectLayer(thumbnail, selected);
        if (!selected) {
            m_choosingFrame = true;
            m_model->showCurrentFrame();
            m_choosingFrame = false;
            return;
        }
    } else {
        deselectAllFrames();
        selectLayer(thumbnail, true);
    }
    m_choosingFrame = true;
    m_model->setCurrentFrame(index);
    m_choosingFrame = false;
}

void AnimationEditorView::mouseDragged(QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (m_dragLayer) {
        followMouse(point);
        // Which thumbnail lies under the grabbed one (or, failing that, under another of
        // the dragged ones)?
        const QList<ThumbnailPtr> candidates = QList<ThumbnailPtr>{m_dragLayer} + m_dragLayers;
        for (const ThumbnailPtr &layer : candidates) {
            const qsizetype index = indexOf(layer);
            if (index < 0)
                continue;
            layer->hidden = true;
            const qsizetype under = thumbnailAt(thumbnailRect(index).center());
            layer->hidden = false;
            if (under >= 0) {
                moveLayers(m_thumbnails[under]);
                return;
            }
        }
    } else if (m_rubberband) {
        stretchRubberband(point);
    } else {
        const qsizetype index = thumbnailAt(point);
        if (index < 0) {
            m_rubberband = addRubberband(point);
            return;
        }
        m_dragLayer = m_thumbnails[index];
        // Dragging an unselected thumbnail drags it alone (or adds it with Shift).
        if (!isSelectedFrame(index))
            selectFrame(point, modifiers);
        findDragLayers();
        setCursor(Qt::ClosedHandCursor);
    }
}

void AnimationEditorView::followMouse(QPointF point)
{
    if (!m_dragLayer)
        return;
    const double translation = point.y() - m_dragLayer->centre.y();
    for (const ThumbnailPtr &layer : std::as_const(m_dragLayers)) {
        layer->translation = translation;
        // Dragged thumbnails sit under the mouse at once, even in the middle of a glide.
        layer->gliding = false;
    }
    QWidget::update();
}

void AnimationEditorView::stretchRubberband(QPointF point)
{
    if (!m_rubberband)
        return;
    const QPointF origin = m_rubberband->position();
    m_rubberband->setRectangle(QRectF(0, 0, point.x() - origin.x(), point.y() - origin.y()));
    QWidget::update();
}

std::shared_ptr<RectangleNode> AnimationEditorView::addRubberband(QPointF point)
{
    auto rubberband = std::make_shared<RectangleNode>();
    rubberband->setPosition(point);
    rubberband->setRectangle(QRectF());
    QWidget::update();
    return rubberband;
}

void AnimationEditorView::findDragLayers()
{
    m_dragLayers.clear();
    const QList<FramePtr> *list = frames();
    if (!list)
        return;
    for (qsizetype i = 0; i < list->size() && i < m_thumbnails.size(); ++i) {
        if (!(*list)[i]->selected)
            continue;
        m_thumbnails[i]->z = 1;
        m_dragLayers.append(m_thumbnails[i]);
    }
}

void AnimationEditorView::moveLayers(ThumbnailPtr target)
{
    if (m_dragLayers.isEmpty())
        return;
    const QList<ThumbnailPtr> layers = m_dragLayers;
    if (indexOf(layers.first()) < indexOf(target)) {
        // Downwards: the dragged frames end up right after the target, in their order.
        for (auto it = layers.crbegin(); it != layers.crend(); ++it) {
            dropTransform(*it);
            moveFrameFromIndex(indexOf(*it), indexOf(target) + 1);
        }
    } else {
        // Upwards (or onto itself): right before the target.
        for (const ThumbnailPtr &layer : layers) {
            dropTransform(layer);
            moveFrameFromIndex(indexOf(layer), indexOf(target));
        }
    }
}

void AnimationEditorView::mouseUp(QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (m_dragLayer) {
        for (const ThumbnailPtr &layer : std::as_const(m_dragLayers)) {
            layer->z = 0;
            dropTransform(layer);
        }
    } else if (m_rubberband) {
        const QRectF area = m_rubberband->rectangle().translated(m_rubberband->position()).normalized();
        const bool shift = modifiers & Qt::ShiftModifier;
        for (qsizetype i = 0; i < m_thumbnails.size(); ++i) {
            if (area.contains(thumbnailRect(i).center()))
                selectLayer(m_thumbnails[i], shift ? !isSelectedFrame(i) : true);
            else if (!shift)
                selectLayer(m_thumbnails[i], false);
        }
        m_rubberband.reset();
        m_choosingFrame = true;
        m_model->showCurrentFrame();
        m_choosingFrame = false;
    } else {
        selectFrame(point, modifiers);
    }
    m_dragLayer.reset();
    m_dragLayers.clear();
    m_rubberband.reset();
    QWidget::update();
}

void AnimationEditorView::autoscrollTick()
{
    m_autoscrollTimer.setInterval(autoscrollInterval);
    if (!m_pressed) {
        m_autoscrollTimer.stop();
        return;
    }
    const bool scrolled = autoscroll(m_lastGlobal);
    const QPointF mouse = mapFromGlobal(QPointF(m_lastGlobal));
    if (scrolled && m_dragLayer)
        followMouse(mouse);
    // The rubberband keeps its corner under the mouse while the strip scrolls beneath it.
    if (m_rubberband)
        stretchRubberband(mouse);
}

bool AnimationEditorView::autoscroll(QPoint globalPosition)
{
    QScrollArea *area = scrollArea();
    if (!area)
        return false;
    const QWidget *viewport = area->viewport();
    const QPoint p = viewport->mapFromGlobal(globalPosition);
    auto overshoot = [](int value, int size) {
        if (value < autoscrollEdge)
            return value - autoscrollEdge;
        if (value > size - autoscrollEdge)
            return value - (size - autoscrollEdge);
        return 0;
    };
    bool scrolled = false;
    auto scroll = [&scrolled](QScrollBar *bar, int by) {
        if (by == 0)
            return;
        const int before = bar->value();
        bar->setValue(before + by);
        scrolled = scrolled || bar->value() != before;
    };
    scroll(area->verticalScrollBar(), overshoot(p.y(), viewport->height()));
    scroll(area->horizontalScrollBar(), overshoot(p.x(), viewport->width()));
    return scrolled;
}

} // namespace lumora
