// The timeline's side of the frames: keeping the thumbnails index-aligned with the model,
// the current frame and the selected frames, reordering and reversing (with undo), and
// storing the layout editor's marking and background into frames.
#include "AnimationEditorView.h"

#include "animation/ListMoves.h"
#include "editor/UndoManager.h"
#include "editor/View.h"

#include <QPointer>
#include <QScrollArea>

namespace lumora {

Q_LOGGING_CATEGORY(lcTimeline, "lumora.timeline")

namespace {

QPointF slotCentre(qsizetype index)
{
    return QPointF(AnimationEditorView::centreX,
                   double(AnimationEditorView::slotHeight) * double(index) + AnimationEditorView::slotHeight / 2.0);
}

} // namespace

AnimationEditorView::AnimationEditorView(View *view, UndoManager *undo, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_undo(undo)
{
    m_pictures = makePictureCache();
    resize(84, 0);
    setFixedHeight(0);
    m_clock.start();
    m_animationTimer.setInterval(16);
    connect(&m_animationTimer, &QTimer::timeout, this, &AnimationEditorView::advanceAnimations);
    connect(&m_autoscrollTimer, &QTimer::timeout, this, &AnimationEditorView::autoscrollTick);
}

AnimationEditorView::~AnimationEditorView()
{
    stopRendering();
}

QSize AnimationEditorView::sizeHint() const
{
    return QSize(84, slotHeight * int(m_thumbnails.size()));
}

QList<FramePtr> *AnimationEditorView::frames() const
{
    return m_animationEditor ? &m_animationEditor->track().frames : nullptr;
}

qint64 AnimationEditorView::selectedFrame() const
{
    return m_animationEditor ? m_animationEditor->selectedFrame() : -1;
}

qsizetype AnimationEditorView::indexOf(const ThumbnailPtr &thumbnail) const
{
    return m_thumbnails.indexOf(thumbnail);
}

AnimationEditorView::ThumbnailPtr AnimationEditorView::makeThumbnail()
{
    auto thumbnail = std::make_shared<Thumbnail>();
    thumbnail->id = m_nextThumbnailId++;
    return thumbnail;
}

void AnimationEditorView::setAnimationEditor(std::shared_ptr<AnimationEditor> editor)
{
    // The thumbnails belonged to the previous model; the next sync builds new ones.
    stopRendering();
    m_thumbnails.clear();
    m_dragLayer.reset();
    m_dragLayers.clear();
    m_animationEditor = std::move(editor);
    updateFrame(0);
    setNeedsDisplay();
}

void AnimationEditorView::setNeedsDisplay()
{
    QWidget::update();
    if (m_syncScheduled)
        return;
    m_syncScheduled = true;
    // Runs before the repaint, which Qt posts at low priority.
    QMetaObject::invokeMethod(
        this, [this] {
            if (m_syncScheduled)
                viewWillDraw();
        },
        Qt::QueuedConnection);
}

void AnimationEditorView::viewWillDraw()
{
    m_syncScheduled = false;
    m_inViewWillDraw = true;
    updateAnimationEditorView();
    m_inViewWillDraw = false;
    updateFrame(m_thumbnails.size());
}

void AnimationEditorView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setNeedsDisplay();
}

void AnimationEditorView::updateFrame(qsizetype count)
{
    const int height = slotHeight * int(count);
    if (height == this->height() && minimumHeight() == height)
        return;
    setFixedHeight(height);
    // A resized view is drawn again, and synced before that.
    setNeedsDisplay();
}

// --- Looks -------------------------------------------------------------------------------

void AnimationEditorView::selectLayer(const ThumbnailPtr &thumbnail, bool selected)
{
    thumbnail->selectedBorder = selected;
    thumbnail->borderWidth = selected ? 2.0 : 0.0;
    const qsizetype index = indexOf(thumbnail);
    if (QList<FramePtr> *list = frames(); index >= 0 && index < list->size())
        (*list)[index]->selected = selected;
    QWidget::update();
}

void AnimationEditorView::highlightLayer(const ThumbnailPtr &thumbnail, bool highlighted)
{
    thumbnail->highlighted = highlighted;
    QWidget::update();
}

void AnimationEditorView::highlightCurrent(bool highlighted)
{
    const qint64 current = selectedFrame();
    if (current >= 0 && current < m_thumbnails.size())
        highlightLayer(m_thumbnails[current], highlighted);
}

bool AnimationEditorView::isSelectedFrame(qsizetype index) const
{
    const QList<FramePtr> *list = frames();
    return list && index >= 0 && index < list->size() && (*list)[index]->selected;
}

void AnimationEditorView::deselectAllFrames()
{
    QList<FramePtr> *list = frames();
    if (!list)
        return;
    for (qsizetype i = 0; i < list->size(); ++i) {
        (*list)[i]->selected = false;
        if (i < m_thumbnails.size()) {
            m_thumbnails[i]->selectedBorder = false;
            m_thumbnails[i]->borderWidth = 0.0;
        }
    }
    QWidget::update();
}

QRectF AnimationEditorView::thumbnailRect(qsizetype index) const
{
    if (index < 0 || index >= m_thumbnails.size())
        return {};
    const Thumbnail &t = *m_thumbnails[index];
    return QRectF(t.centre.x() - thumbnailWidth / 2.0, t.centre.y() + t.translation - thumbnailHeight / 2.0,
                  thumbnailWidth, thumbnailHeight);
}

bool AnimationEditorView::isHighlighted(qsizetype index) const
{
    return index >= 0 && index < m_thumbnails.size() && m_thumbnails[index]->highlighted;
}

bool AnimationEditorView::hasSelectedBorder(qsizetype index) const
{
    return index >= 0 && index < m_thumbnails.size() && m_thumbnails[index]->selectedBorder;
}

QImage AnimationEditorView::thumbnailImage(qsizetype index) const
{
    return index >= 0 && index < m_thumbnails.size() ? m_thumbnails[index]->image : QImage();
}

// --- Building and syncing ------------------------------------------------------------------

void AnimationEditorView::ensureThumbnails(qsizetype count, QList<ThumbnailPtr> &created)
{
    while (m_thumbnails.size() < count) {
        ThumbnailPtr thumbnail = makeThumbnail();
        thumbnail->centre = slotCentre(m_thumbnails.size());
        m_thumbnails.append(thumbnail);
        created.append(thumbnail);
    }
}

bool AnimationEditorView::syncLayer(qint64 index, QList<ThumbnailPtr> &created)
{
    QList<FramePtr> *list = frames();
    if (index < 0 || !list || index >= list->size())
        return false;
    // Missing thumbnails in front are made too, so that thumbnail i always shows frame i.
    ensureThumbnails(index + 1, created);
    const ThumbnailPtr &thumbnail = m_thumbnails[index];
    highlightLayer(thumbnail, index == selectedFrame());
    selectLayer(thumbnail, (*list)[index]->selected);
    placeLayer(thumbnail, slotCentre(index), !m_inViewWillDraw);
    return true;
}

void AnimationEditorView::addAnimationEditorLayer(qint64 index)
{
    QList<ThumbnailPtr> created;
    if (!syncLayer(index, created))
        return;
    if (!created.isEmpty())
        updateFrame(m_thumbnails.size());
    provideImages(created);
}

void AnimationEditorView::insertAnimationEditorLayer(qint64 index)
{
    QList<FramePtr> *list = frames();
    if (index < 0 || !list || index >= list->size())
        return;
    QList<ThumbnailPtr> created;
    ensureThumbnails(index, created);
    provideImages(created);

    updateFrame(m_thumbnails.size() + 1);
    ThumbnailPtr thumbnail = makeThumbnail();
    thumbnail->centre = slotCentre(index);
    startGlide(*thumbnail, QPointF(slideInX, thumbnail->centre.y()));
    m_thumbnails.insert(index, thumbnail);
    provideImages({thumbnail});
    for (qsizetype j = index + 1; j < m_thumbnails.size(); ++j)
        placeLayer(m_thumbnails[j], slotCentre(j), true);
}

void AnimationEditorView::removeLayerAtIndex(qint64 index)
{
    if (index < 0 || index >= m_thumbnails.size())
        return;
    updateFrame(m_thumbnails.size() - 1);
    const ThumbnailPtr removed = m_thumbnails.takeAt(index);
    m_dragLayers.removeAll(removed);
    if (m_dragLayer == removed)
        m_dragLayer.reset();
    QWidget::update();
}

void AnimationEditorView::updateAnimationEditorView()
{
    QList<FramePtr> *list = frames();
    const qsizetype n = list ? list->size() : 0;
    QList<ThumbnailPtr> created;
    qsizetype selectedCount = 0;
    for (qsizetype i = 0; i < n; ++i) {
        syncLayer(i, created);
        if ((*list)[i]->selected)
            ++selectedCount;
    }
    // In single-selection use the selection follows the current frame.
    if (n > 0 && selectedCount <= 1) {
        const qint64 current = selectedFrame();
        for (qsizetype i = 0; i < n; ++i)
            selectLayer(m_thumbnails[i], i == current);
    }
    while (m_thumbnails.size() > n) {
        const ThumbnailPtr removed = m_thumbnails.takeLast();
        m_dragLayers.removeAll(removed);
        if (m_dragLayer == removed)
            m_dragLayer.reset();
    }
    provideImages(created);
    QWidget::update();
}

void AnimationEditorView::updatePositions()
{
    for (qsizetype j = 0; j < m_thumbnails.size(); ++j)
        placeLayer(m_thumbnails[j], slotCentre(j), !m_inViewWillDraw);
}

// --- Reordering ------------------------------------------------------------------------------

void AnimationEditorView::moveFrameFromIndex(qsizetype from, qsizetype to)
{
    QList<FramePtr> *list = frames();
    if (!list)
        return;
    highlightCurrent(false);
    qCInfo(lcTimeline, "%lu %lu", static_cast<unsigned long>(from), static_cast<unsigned long>(to));
    if (m_undo) {
        const qsizetype undoFrom = from < to ? to - 1 : to;
        const qsizetype undoTo = from < to ? from : from + 1;
        QPointer<AnimationEditorView> self(this);
        m_undo->registerUndo([self, undoFrom, undoTo] {
            if (self)
                self->moveFrameFromIndex(undoFrom, undoTo);
        });
        m_undo->setActionName("move Frames");
    }
    moveObjectAtIndex(*list, from, to);
    moveObjectAtIndex(m_thumbnails, from, to);
    updatePositions();
    highlightCurrent(true);
}

void AnimationEditorView::reverseSelection()
{
    QList<FramePtr> *list = frames();
    if (!list)
        return;
    if (m_undo) {
        // Reversing the same slots again restores the order.
        QPointer<AnimationEditorView> self(this);
        m_undo->registerUndo([self] {
            if (self)
                self->reverseSelection();
        });
        m_undo->setActionName("reverse Frames");
    }
    highlightCurrent(false);

    std::vector<qsizetype> places;
    for (qsizetype i = 0; i < list->size(); ++i) {
        if ((*list)[i]->selected)
            places.push_back(i);
    }
    if (places.empty() && list->size() >= 2) {
        for (qsizetype i = 0; i < list->size(); ++i)
            places.push_back(i);
    }
    const bool aligned = m_thumbnails.size() == list->size();
    const qsizetype m = qsizetype(places.size());
    for (qsizetype k = 0; m >= 2 && k < m - 1 - k; ++k) {
        list->swapItemsAt(places[k], places[m - 1 - k]);
        if (aligned)
            m_thumbnails.swapItemsAt(places[k], places[m - 1 - k]);
    }
    updatePositions();
    highlightCurrent(true);
}

void AnimationEditorView::changeSelection(const QList<bool> &selection, const QUrl &url, PicturePtr image)
{
    QList<FramePtr> *list = frames();
    if (!list)
        return;
    QList<ThumbnailPtr> changed;
    auto changedThumbnail = [&](qsizetype i) {
        if (i < m_thumbnails.size() && !changed.contains(m_thumbnails[i]))
            changed.append(m_thumbnails[i]);
    };
    const qint64 current = selectedFrame();
    if (current >= 0 && current < list->size()) {
        AnimationFrame &frame = *(*list)[current];
        frame.selection = QList<bool>(selection.cbegin(), selection.cend());
        frame.url = url;
        frame.image = image;
        changedThumbnail(current);
    }
    for (qsizetype i = 0; i < list->size(); ++i) {
        AnimationFrame &frame = *(*list)[i];
        if (!frame.selected)
            continue;
        frame.url = url;
        frame.image = image;
        changedThumbnail(i);
    }
    provideImages(changed);
}

// --- Scrolling ---------------------------------------------------------------------------------

QScrollArea *AnimationEditorView::scrollArea() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w))
            return area;
    }
    return nullptr;
}

void AnimationEditorView::scrollToSelectedFrame()
{
    const qint64 current = selectedFrame();
    QScrollArea *area = scrollArea();
    if (current < 0 || !area || !area->widget())
        return;
    QPoint centre = slotCentre(current).toPoint();
    if (area->widget() != this)
        centre = mapTo(area->widget(), centre);
    area->ensureVisible(centre.x(), centre.y(), thumbnailWidth / 2, slotHeight / 2);
}

} // namespace lumora
