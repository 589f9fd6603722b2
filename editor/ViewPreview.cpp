// The live side of the editor: the 30-per-second preview of the current pattern, the
// colours of the background picture under the LEDs, and pictures dropped as the background.
#include "View.h"

#include "document/UndoManager.h"

#include "common/ColorBytes.h"
#include "colors/PatternColorSource.h"
#include "colors/PictureColorSource.h"
#include "patterns/framework/ColorPattern.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include <algorithm>
#include <vector>

namespace lumora {

namespace {

/// The box the Image pattern fits the picture to: the LEDs' in grid units, or, before the
/// grid is complete, the origin handle's layout position (which matters only without LEDs).
QRectF gridBox(const DocumentModel &model)
{
    const LayoutSnapshot layout = model.snapshot();
    if (layout.leds.isEmpty() && !layout.grid && model.origin())
        return QRectF(model.origin()->position(), QSizeF(1, 1));
    return layout.boundingBox();
}

} // namespace

void View::tick()
{
    if (modeColors() == ModeColors::Pattern) {
        if (ColorSource *own = m_previewSource ? m_previewSource() : nullptr) {
            const FrameContext context = frameContext();
            std::vector<PixelColor> colors(context.ledCount());
            own->colors(context, colors);
            showColors(colors);
            emit ticked();
            return;
        }
        const ColorPattern *pattern = m_patternSource ? m_patternSource() : nullptr;
        if (!pattern)
            return;
        // The frame the export writes at this time, through the pattern's vector path (the
        // screen does not need the last bits), shared out over the cores.
        PatternColorSource source(*pattern, true, 0);
        const FrameContext context = frameContext();
        std::vector<PixelColor> colors(context.ledCount());
        source.colors(context, colors);
        showColors(colors);
    } else if (modeColors() == ModeColors::Picture) {
        // A picture still decoding shows on a later tick; the output meanwhile keeps the last.
        if (!backgroundPending()) {
            PictureColorSource source;
            const FrameContext context = frameContext();
            std::vector<PixelColor> colors(context.ledCount());
            source.colors(context, colors);
            showColors(colors, true);
        }
    } else {
        return;
    }
    emit ticked();
}

FrameContext View::frameContext() const
{
    FrameContext context;
    context.time = m_clock.time();
    const LayoutSnapshot layout = m_model->snapshot();
    context.leds = layout.leds;
    context.grid = layout.points();
    context.marking = m_model->marking();
    if (!backgroundPending())
        context.picture = m_model->bitmap();
    context.pixels = m_pixelSource;
    context.animation = m_model->animationEditor();
    return context;
}

void View::showColors(std::span<const PixelColor> colors, bool contrastRings)
{
    m_ledColors.assign(colors.begin(), colors.end());
    m_fills.resize(colors.size());
    for (std::size_t k = 0; k < colors.size(); ++k) {
        const PixelColor &c = colors[k];
        const PixelColor p = limitedColor(c.red, c.green, c.blue);
        m_fills[k] = QColor::fromRgbF(float(p.red), float(p.green), float(p.blue), float(std::clamp(c.alpha, 0.0, 1.0)))
                         .rgba64();
    }
    m_contrastRings = contrastRings;
    QWidget::update();
}

QByteArray View::ledBytes() const
{
    QByteArray rgb = ColorSource::toBytes(m_ledColors);
    // LEDs added since the last tick are dark until the next.
    rgb.resize(3 * m_model->ledCount(), '\0');
    return rgb;
}

namespace {
// Made once: a QColor from a Qt::GlobalColor looks its value up on every construction, and
// the painter asks for every LED's looks on every paint.
const QColor black(Qt::black), red(Qt::red), white(Qt::white);
} // namespace

QColor View::ledFill(qsizetype k) const
{
    return k >= 0 && k < qsizetype(m_fills.size()) ? QColor::fromRgba64(m_fills[k]) : black;
}

QColor View::ledRing(qsizetype k) const
{
    const QList<NodePtr> &list = leds();
    if (k >= 0 && k < list.size() && list[k]->isMarked())
        return red;
    // The disc has the picture's colour, so on the picture only its ring shows it: dark
    // on light colours, light on dark ones. Marked LEDs keep their red.
    if (m_contrastRings && k >= 0 && k < qsizetype(m_fills.size()))
        return contrastingRing(ledFill(k));
    return white;
}

QColor View::contrastingRing(const QColor &fill)
{
    // Over the layout's dark backdrop a transparent disc shows dark.
    const double alpha = fill.alphaF();
    const double luma = alpha * (0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF());
    return luma > 0.55 ? black : white;
}

void View::clearPreviewColors(bool fills)
{
    m_contrastRings = false;
    if (fills) {
        m_ledColors.clear();
        m_fills.clear();
    }
    QWidget::update();
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
    // The Image pattern reads them through this view's frame context, not from a holder
    // every window shares.
    m_pixelSource = FrameContext::pixelSource(m_model->bitmap(), gridBox(*m_model));
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
        if (m_model->setBackgroundFile(url))
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

} // namespace lumora
