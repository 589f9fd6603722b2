// The timeline's side of the frames: keeping the thumbnails index-aligned with the model,
// the current frame and the selected frames, reordering and reversing (with undo), and
// storing the layout editor's marking and background into frames.
#include "AnimationEditorView.h"

#include "animation/ListMoves.h"
#include "document/UndoManager.h"

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

AnimationEditorView::AnimationEditorView(DocumentModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    m_pictures = makePictureCache();
    resize(84, 0);
    setFixedHeight(0);
    m_clock.start();
    m_animationTimer.setInterval(16);
    connect(&m_animationTimer, &QTimer::timeout, this, &AnimationEditorView::advanceAnimations);
    connect(&m_autoscrollTimer, &QTimer::timeout, this, &AnimationEditorView::autoscrollTick);

    m_imagesTimer.setSingleShot(true);
    m_imagesTimer.setInterval(40);
    connect(&m_imagesTimer, &QTimer::timeout, this, &AnimationEditorView::updateImages);
    auto imagesLater = [this] {
        if (!m_imagesTimer.isActive())
            m_imagesTimer.start();
    };
    connect(m_model, &DocumentModel::ledsChanged, this, imagesLater);
    connect(m_model, &DocumentModel::ledsMoved, this, imagesLater);
    connect(m_model, &DocumentModel::loaded, this, [this] { setAnimationEditor(m_model->animationEditor()); });
    connect(m_model, &DocumentModel::frameInserted, this, &AnimationEditorView::frameInserted);
    connect(m_model, &DocumentModel::frameRemoved, this, &AnimationEditorView::frameRemoved);
    connect(m_model, &DocumentModel::frameMoved, this, &AnimationEditorView::frameMoved);
    connect(m_model, &DocumentModel::framesReversed, this, &AnimationEditorView::framesReversed);
    connect(m_model, &DocumentModel::framesEdited, this, &AnimationEditorView::framesEdited);
    connect(m_model, &DocumentModel::currentFrameChanged, this, &AnimationEditorView::currentFrameChanged);
    setAnimationEditor(m_model->animationEditor());
}

AnimationEditorView::~AnimationEditorView()
{
    stopRendering();
}

QSize AnimationEditorView::sizeHint() const
{
    return QSize(84, slotHeight * int(m_thumbnails.size()));
}

const QList<FramePtr> *AnimationEditorView::frames() const
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
    m_model->setFrameSelected(indexOf(thumbnail), selected);
    QWidget::update();
}

void AnimationEditorView::highlightLayer(const ThumbnailPtr &thumbnail, bool highlighted)
{
    thumbnail->highlighted = highlighted;
    QWidget::update();
}

bool AnimationEditorView::isSelectedFrame(qsizetype index) const
{
    const QList<FramePtr> *list = frames();
    return list && index >= 0 && index < list->size() && (*list)[index]->selected;
}

void AnimationEditorView::deselectAllFrames()
{
    const QList<FramePtr> *list = frames();
    if (!list)
        return;
    for (qsizetype i = 0; i < list->size(); ++i) {
        m_model->setFrameSelected(i, false);
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
    const QList<FramePtr> *list = frames();
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
    const QList<FramePtr> *list = frames();
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
    const QList<FramePtr> *list = frames();
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

// --- Reordering: asked of the model, followed when it reports -------------------------------

void AnimationEditorView::moveFrameFromIndex(qsizetype from, qsizetype to)
{
    m_model->moveFrame(from, to);
}

void AnimationEditorView::reverseSelection()
{
    m_model->reverseFrames();
}

void AnimationEditorView::highlightCurrentOnly()
{
    const qint64 current = selectedFrame();
    for (qsizetype i = 0; i < m_thumbnails.size(); ++i)
        if (m_thumbnails[i]->highlighted != (i == current))
            highlightLayer(m_thumbnails[i], i == current);
}

void AnimationEditorView::frameInserted(qint64 index)
{
    const QList<FramePtr> *list = frames();
    // A frame appended behind the thumbnails just gets its own; one inserted among them
    // slides in.
    if (list && index == list->size() - 1 && m_thumbnails.size() <= index)
        addAnimationEditorLayer(index);
    else
        insertAnimationEditorLayer(index);
    highlightCurrentOnly();
    scrollToSelectedFrame();
}

void AnimationEditorView::frameRemoved(qint64 index)
{
    removeLayerAtIndex(index);
    updateAnimationEditorView();
}

void AnimationEditorView::frameMoved(qsizetype from, qsizetype to)
{
    qCInfo(lcTimeline, "%lu %lu", static_cast<unsigned long>(from), static_cast<unsigned long>(to));
    moveObjectAtIndex(m_thumbnails, from, to);
    updatePositions();
    highlightCurrentOnly();
}

void AnimationEditorView::framesReversed(const std::vector<qsizetype> &places)
{
    const QList<FramePtr> *list = frames();
    const qsizetype m = qsizetype(places.size());
    if (list && m_thumbnails.size() == list->size()) {
        for (qsizetype k = 0; m >= 2 && k < m - 1 - k; ++k)
            if (places[m - 1 - k] < m_thumbnails.size())
                m_thumbnails.swapItemsAt(places[k], places[m - 1 - k]);
    }
    updatePositions();
    highlightCurrentOnly();
}

void AnimationEditorView::framesEdited(const QList<qsizetype> &indexes)
{
    QList<ThumbnailPtr> changed;
    for (qsizetype i : indexes)
        if (i >= 0 && i < m_thumbnails.size())
            changed.append(m_thumbnails[i]);
    provideImages(changed);
}

void AnimationEditorView::currentFrameChanged()
{
    if (m_choosingFrame)
        highlightCurrentOnly();
    else
        updateAnimationEditorView();
    scrollToSelectedFrame();
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
