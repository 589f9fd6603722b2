// The live side of the editor: the 30-per-second preview of the current pattern, the
// colours of the background picture under the LEDs, the background itself (dropped files
// included), the pattern export, and the editor's side of the frame animations.
#include "View.h"

#include "document/UndoManager.h"

#include "pictures/ImageBitmap.h"
#include "common/ColorBytes.h"
#include "colors/PatternFrame.h"
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
        if (const QByteArray rgb = m_previewColors ? m_previewColors() : QByteArray(); !rgb.isEmpty()) {
            const QList<NodePtr> &list = leds();
            for (qsizetype k = 0; k < list.size() && 3 * k + 2 < rgb.size(); ++k)
                list[k]->fill = QColor(quint8(rgb[3 * k]), quint8(rgb[3 * k + 1]), quint8(rgb[3 * k + 2]));
            QWidget::update();
            emit ticked();
            return;
        }
        const ColorPattern *pattern = m_patternSource ? m_patternSource() : nullptr;
        if (!pattern)
            return;
        colorPreview(*pattern, referenceSeconds() * 30);
    } else if (m_mode == Colors) {
        colorFromBitmap();
    } else {
        return;
    }
    emit ticked();
}

void View::colorPreview(const ColorPattern &pattern, double T)
{
    // The same frame the export writes, through the pattern's vector path (the screen does
    // not need the last bits), shared out over the cores.
    const QList<QPointF> grid = m_model->snapshot().points();
    std::vector<Color> colors(grid.size());
    patternFrame(pattern, T, grid, colors, true, 0);
    const QList<NodePtr> &list = leds();
    for (qsizetype k = 0; k < list.size() && k < qsizetype(colors.size()); ++k)
        list[k]->fill = displayColor(colors[k]);
    QWidget::update();
}

void View::colorFromBitmap()
{
    if (backgroundPending())
        return;
    const auto current = bitmap();
    for (const NodePtr &node : leds()) {
        std::optional<PixelColor> color;
        if (current)
            color = samplePicture(*current, node->position());
        node->fill = color ? QColor::fromRgbF(float(color->red), float(color->green), float(color->blue),
                                              float(color->alpha))
                           : QColor(Qt::black);
        // The disc has the picture's colour, so on the picture only its ring shows it: dark
        // on light colours, light on dark ones. Marked LEDs keep their red.
        if (!node->isMarked())
            node->stroke = contrastingRing(*node->fill);
    }
    QWidget::update();
}

QColor View::contrastingRing(const QColor &fill)
{
    // Over the layout's dark backdrop a transparent disc shows dark.
    const double alpha = fill.alphaF();
    const double luma = alpha * (0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF());
    return luma > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}

void View::clearPreviewColors(bool fills)
{
    for (const NodePtr &node : leds()) {
        if (fills)
            node->fill = QColor(Qt::black);
        node->stroke = node->isMarked() ? QColor(Qt::red) : QColor(Qt::white);
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
    for (const NodePtr &node : leds())
        list.append(node->position());
    return list;
}

QRectF View::boundingBox() const
{
    // The start values are the origin handle's layout position, even before the grid is
    // complete; they matter only without LEDs.
    LayoutSnapshot layout = snapshot();
    if (!layout.grid && origin())
        return layout.leds.isEmpty() ? QRectF(origin()->position(), QSizeF(1, 1)) : layout.boundingBox();
    return layout.boundingBox();
}

bool View::exportAnimation(QByteArray &buffer, const ColorPattern &pattern, RenderControl *control)
{
    m_model->bitmap(); // an export waits for the picture
    updateBitmap();
    return renderPatternAnimation(buffer, points(), pattern, 3000, 0, control);
}

std::shared_ptr<const QImage> View::bitmap() const
{
    return m_model->bitmap();
}

void View::addBitmap(const QImage &bitmap)
{
    m_model->setBackground(Picture::fromImage(bitmap), QUrl());
}

bool View::backgroundPending() const
{
    const PicturePtr background = m_model->background();
    return background && !background->isDecoded();
}

void View::updateBitmap()
{
    if (backgroundPending())
        return;
    const auto current = bitmap();
    // ImageBitmap shares the picture's pixels: they are RGBA8888 already.
    const auto published = current ? std::make_shared<const ImageBitmap>(*current) : nullptr;
    m_publishedBitmap = published;
    PixelPattern::setBitmap(published);
    const QRectF box = boundingBox();
    PixelPattern::setBoundingBox({box.x(), box.y(), box.width(), box.height()});
}

void View::addImage(PicturePtr image, const QUrl &url)
{
    m_model->setBackground(std::move(image), url);
}

bool View::addImageWithURL(const QUrl &url)
{
    // Judged from the file's header; the pixels decode off this thread, once per file.
    if (!url.isLocalFile() || !pictureRefusal(url.toLocalFile()).isEmpty())
        return false;
    addImage(m_model->pictures()->picture(url), url);
    return true;
}

void View::removeImages()
{
    m_model->setBackground(nullptr, QUrl());
}

// Drops are always copies: a file manager told "move" may delete the user's picture.
void View::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void View::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void View::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    QStringList remote, unreadable;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile()) {
            remote.append(url.toDisplayString());
            continue;
        }
        // A dropped picture joins the strip, so it is saved and opens again as the
        // background; one that cannot be read is left out.
        if (addImageWithURL(url))
            m_model->appendImage(url);
        else
            unreadable.append(pictureRefusal(url.toLocalFile()));
    }
    if (!remote.isEmpty())
        emit statusMessage(tr("Only local files can be used as pictures, not %1.").arg(remote.join(", ")));
    else if (!unreadable.isEmpty())
        emit statusMessage(tr("Not added: %1.").arg(unreadable.join("; ")));
    if (!urls.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

QList<bool> View::selection() const
{
    return m_model->marking();
}

void View::setSelection(const QList<bool> &selection)
{
    const QList<NodePtr> list = leds();
    for (qsizetype i = 0; i < list.size() && i < selection.size(); ++i) {
        if (selection[i])
            markNode(list[i]);
        else
            unmarkNode(list[i]);
    }
}

void View::updateSelection()
{
    m_model->showCurrentFrame();
}

void View::addFrame()
{
    m_model->addFrame();
}

void View::addFrameAfter()
{
    m_model->addFrameAfter();
}

void View::removeFrames()
{
    m_model->removeFrame();
}

void View::previousFrame()
{
    m_model->previousFrame();
}

void View::nextFrame()
{
    m_model->nextFrame();
}

void View::reverseSelection()
{
    m_model->reverseFrames();
}

void View::changeSelection()
{
    m_model->changeFrames();
}

} // namespace lumora
