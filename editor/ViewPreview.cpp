// The live side of the editor: the 30-per-second preview of the current pattern, the
// colours of the background picture under the LEDs, the background itself (dropped files
// included), the pattern export, and the editor's side of the frame animations.
#include "View.h"

#include "UndoManager.h"

#include "animation/ImageBitmap.h"
#include "document/ColorBytes.h"
#include "patterns/framework/ColorPattern.h"

#include <QDateTime>
#include <QTimeZone>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QThread>

#include <cmath>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// Seconds since 2001-01-01 00:00:00 UTC, the preview's clock.
double referenceSeconds()
{
    static const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return (QDateTime::currentMSecsSinceEpoch() - reference) / 1000.0;
}

QColor displayColor(const Color &c)
{
    const PixelColor p = limitedColor(c.r, c.g, c.b);
    return QColor::fromRgbF(float(p.red), float(p.green), float(p.blue));
}

} // namespace

void View::tick()
{
    if (m_mode == Preview) {
        const ColorPattern *pattern = m_patternSource ? m_patternSource() : nullptr;
        if (!pattern)
            return;
        colorPreview(*pattern, referenceSeconds() * 30);
    } else if (m_mode == Colors) {
        colorFromBitmap();
    }
}

void View::colorPreview(const ColorPattern &pattern, double T)
{
    const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    const double s = std::sin(angle), c = std::cos(angle);
    const double time = pattern.speed * T;
    const auto inverse = transform() ? transform()->inverted() : std::nullopt;
    const qsizetype n = m_ledNodes.size();
    std::vector<QColor> colors(n);

    // Patterns are pure, so the LEDs are shared out over the cores; each LED still gets
    // exactly the Position the serial walk would give it.
    auto work = [&](qsizetype begin, qsizetype end) {
        Position position;
        position.time = time;
        for (qsizetype k = begin; k < end; ++k) {
            const QPointF g = inverse ? inverse->map(m_ledNodes[k]->position()) : QPointF(0, 0);
            const double X = g.x() * scale, Y = g.y() * scale;
            position.x = c * X - s * Y;
            position.y = s * X + c * Y;
            position.index = k;
            colors[k] = displayColor(pattern.color(position));
        }
    };
    const int threads = n < 256 ? 1 : std::max(1, QThread::idealThreadCount());
    std::vector<std::thread> pool;
    const qsizetype chunk = (n + threads - 1) / threads;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, std::min(n, t * chunk), std::min(n, (t + 1) * chunk));
    work(0, std::min(n, chunk));
    for (auto &thread : pool)
        thread.join();

    for (qsizetype k = 0; k < n; ++k)
        m_ledNodes[k]->fill = colors[k];
    QWidget::update();
}

void View::colorFromBitmap()
{
    const auto current = bitmap();
    for (const NodePtr &node : m_ledNodes) {
        std::optional<PixelColor> color;
        if (current)
            color = samplePicture(*current, node->position());
        node->fill = color ? QColor::fromRgbF(float(color->red), float(color->green), float(color->blue),
                                              float(color->alpha))
                           : QColor(Qt::black);
    }
    QWidget::update();
}

QList<QPointF> View::points() const
{
    return snapshot().points();
}

QList<QPointF> View::positions() const
{
    QList<QPointF> list;
    for (const NodePtr &node : m_ledNodes)
        list.append(node->position());
    return list;
}

QRectF View::boundingBox() const
{
    // The start values are the origin handle's layout position, even before the grid is
    // complete; they matter only without LEDs.
    LayoutSnapshot layout = snapshot();
    if (!layout.grid && m_origin)
        return layout.leds.isEmpty() ? QRectF(m_origin->position(), QSizeF(1, 1)) : layout.boundingBox();
    return layout.boundingBox();
}

bool View::exportAnimation(QByteArray &buffer, const ColorPattern &pattern, RenderControl *control)
{
    updateBitmap();
    return renderPatternAnimation(buffer, points(), pattern, 3000, 0, control);
}

std::shared_ptr<const QImage> View::bitmap() const
{
    return m_bitmaps.isEmpty() ? nullptr : m_bitmaps.last();
}

void View::addBitmap(const QImage &bitmap)
{
    m_bitmaps.append(std::make_shared<const QImage>(sampleableImage(bitmap)));
    updateBitmap();
}

void View::updateBitmap()
{
    const auto current = bitmap();
    PixelPattern::setBitmap(current ? std::make_shared<ImageBitmap>(*current) : nullptr);
    const QRectF box = boundingBox();
    PixelPattern::setBoundingBox({box.x(), box.y(), box.width(), box.height()});
    if (m_animationEditorView)
        m_animationEditorView->updateImages();
}

void View::addImage(PicturePtr image, const QUrl &url)
{
    const PicturePtr oldImage = m_image;
    const QUrl oldUrl = m_url;
    m_undo->registerUndo([this, oldImage, oldUrl] { addImage(oldImage, oldUrl); });
    m_image = image;
    m_url = url;
    if (!image) {
        QWidget::update();
        return;
    }
    addBitmap(image->image());
    QWidget::update();
}

bool View::addImageWithURL(const QUrl &url)
{
    const PicturePtr picture = Picture::fromUrl(url);
    if (picture->width() == 0)
        return false;
    addImage(picture, url);
    return true;
}

void View::removeImages()
{
    const PicturePtr oldImage = m_image;
    const QUrl oldUrl = m_url;
    m_undo->registerUndo([this, oldImage, oldUrl] { addImage(oldImage, oldUrl); });
    m_bitmaps.clear();
    m_image.reset();
    m_url = QUrl();
    QWidget::update();
}

void View::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void View::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void View::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls)
        addImageWithURL(url);
    if (!urls.isEmpty())
        event->acceptProposedAction();
}

QList<bool> View::selection() const
{
    QList<bool> list;
    list.reserve(m_ledNodes.size());
    for (const NodePtr &node : m_ledNodes)
        list.append(node->isMarked());
    return list;
}

void View::setSelection(const QList<bool> &selection)
{
    const QList<NodePtr> leds = m_ledNodes;
    for (qsizetype i = 0; i < leds.size() && i < selection.size(); ++i) {
        if (selection[i])
            markNode(leds[i]);
        else
            unmarkNode(leds[i]);
    }
}

void View::updateSelection()
{
    const FramePtr frame = m_animationEditor->animationFrame();
    setSelection(frame ? frame->selection : QList<bool>());
    removeImages();
    addImage(frame ? frame->image : nullptr, frame ? frame->url : QUrl());
    if (m_animationEditorView)
        m_animationEditorView->scrollToSelectedFrame();
    emit framesChanged();
}

void View::addFrame()
{
    // Undo takes the frame itself out again.
    m_undo->registerUndo([this] { removeFrames(); });
    m_undo->setActionName("add Frame");
    insertFrame(AnimationFrame::newWithSelection(selection(), m_image, m_url));
}

void View::insertFrame(const FramePtr &frame)
{
    const qint64 previous = m_animationEditor->selectedFrame();
    m_animationEditor->addFrame(frame);
    if (m_animationEditorView) {
        if (previous < 0)
            m_animationEditorView->addAnimationEditorLayer(m_animationEditor->selectedFrame());
        else
            m_animationEditorView->insertAnimationEditorLayer(previous);
        m_animationEditorView->scrollToSelectedFrame();
    }
    emit framesChanged();
}

void View::removeFrames()
{
    const FramePtr removed = m_animationEditor->animationFrame();
    if (!removed)
        return;
    const qint64 index = m_animationEditor->selectedFrame();
    // Undo puts the removed frame itself back at its index, with its own marking and
    // picture, rather than a new frame made from whatever the editor shows then.
    m_undo->registerUndo([this, removed, index] {
        m_animationEditor->setSelectedFrame(index);
        auto &frames = m_animationEditor->track().frames;
        if (index >= frames.size())
            m_animationEditor->setSelectedFrame(-1);
        m_undo->registerUndo([this] { removeFrames(); });
        insertFrame(removed);
        updateSelection();
    });
    m_undo->setActionName("remove Frame");
    m_animationEditor->removeFrames();
    if (m_animationEditorView) {
        m_animationEditorView->removeLayerAtIndex(index);
        m_animationEditorView->updateAnimationEditorView();
    }
    updateSelection();
    // Showing the frame marks LEDs, which names the step too; the command's name wins.
    m_undo->setActionName("remove Frame");
}

void View::previousFrame()
{
    if (!m_animationEditor->previousFrame())
        return;
    m_undo->registerUndo([this] { nextFrame(); });
    if (m_animationEditorView)
        m_animationEditorView->updateAnimationEditorView();
    updateSelection();
    m_undo->setActionName("previous Frame");
}

void View::nextFrame()
{
    if (!m_animationEditor->nextFrame())
        return;
    m_undo->registerUndo([this] { previousFrame(); });
    if (m_animationEditorView)
        m_animationEditorView->updateAnimationEditorView();
    updateSelection();
    m_undo->setActionName("next Frame");
}

void View::reverseSelection()
{
    if (m_animationEditorView)
        m_animationEditorView->reverseSelection();
}

void View::changeSelection()
{
    if (m_animationEditorView)
        m_animationEditorView->changeSelection(selection(), m_url, m_image);
}

} // namespace lumora
