// Thumbnail images: drawing one (picture, LED dots with their glow, rounded corners), and
// redrawing many on worker threads so that the window never waits for them.
#include "AnimationEditorView.h"

#include "editor/View.h"

#include <QCoreApplication>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_map>

namespace lumora {

namespace {

/// Glow radius of an LED dot and shadow radius of a thumbnail, in points.
constexpr double glowRadius = 2.0;
constexpr double shadowRadius = 4.0;
constexpr double cornerRadius = 6.0;

QSize pixelSize(QSizeF points, qreal devicePixelRatio)
{
    return QSize(qRound(points.width() * devicePixelRatio), qRound(points.height() * devicePixelRatio));
}

/// Blurs an 8-bit alpha image with three box passes in each direction (close to a
/// Gaussian of the given radius); pixels beyond the edges count as transparent.
void blur(QImage &alpha, int radius)
{
    Q_ASSERT(alpha.format() == QImage::Format_Alpha8);
    const int box = std::max(1, radius / 2);
    const int span = 2 * box + 1;
    const int w = alpha.width(), h = alpha.height();
    std::vector<int> line(size_t(std::max(w, h)));
    auto pass = [&](uchar *first, int count, qsizetype step) {
        for (int i = 0; i < count; ++i)
            line[size_t(i)] = first[i * step];
        int sum = 0;
        for (int i = 0; i < std::min(box, count); ++i)
            sum += line[size_t(i)];
        for (int i = 0; i < count; ++i) {
            if (i + box < count)
                sum += line[size_t(i + box)];
            if (i - box - 1 >= 0)
                sum -= line[size_t(i - box - 1)];
            first[i * step] = uchar(sum / span);
        }
    };
    uchar *bits = alpha.bits();
    const qsizetype stride = alpha.bytesPerLine();
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y)
            pass(bits + y * stride, w, 1);
        for (int x = 0; x < w; ++x)
            pass(bits + x, h, stride);
    }
}

/// Anti-aliased coverage of a dot at the sixteen quarter-pixel offsets, so that hundreds of
/// dots are stamped rather than rasterised one by one.
class DotStamps {
public:
    static constexpr int phases = 4;

    DotStamps(double radius)
        : m_size(int(std::ceil(2 * radius)) + 2)
    {
        constexpr int samples = 4;
        m_coverage.resize(size_t(phases * phases * m_size * m_size));
        for (int py = 0; py < phases; ++py) {
            for (int px = 0; px < phases; ++px) {
                // The dot's centre within the stamp: a whole pixel plus the phase.
                const double cx = std::floor(m_size / 2.0) + double(px) / phases;
                const double cy = std::floor(m_size / 2.0) + double(py) / phases;
                uchar *stamp = &m_coverage[size_t((py * phases + px) * m_size * m_size)];
                for (int y = 0; y < m_size; ++y) {
                    for (int x = 0; x < m_size; ++x) {
                        int inside = 0;
                        for (int sy = 0; sy < samples; ++sy)
                            for (int sx = 0; sx < samples; ++sx) {
                                const double dx = x + (sx + 0.5) / samples - cx;
                                const double dy = y + (sy + 0.5) / samples - cy;
                                inside += dx * dx + dy * dy <= radius * radius;
                            }
                        stamp[y * m_size + x] = uchar(inside * 255 / (samples * samples));
                    }
                }
            }
        }
    }

    /// Adds a dot centred at (x, y) in pixels to the mask (alpha "over" alpha).
    void stamp(QImage &mask, double x, double y) const
    {
        const double qx = std::round(x * phases) / phases, qy = std::round(y * phases) / phases;
        const int px = int((qx - std::floor(qx)) * phases), py = int((qy - std::floor(qy)) * phases);
        const int left = int(std::floor(qx)) - m_size / 2, top = int(std::floor(qy)) - m_size / 2;
        const uchar *stamp = &m_coverage[size_t((py * phases + px) * m_size * m_size)];
        for (int sy = 0; sy < m_size; ++sy) {
            const int my = top + sy;
            if (my < 0 || my >= mask.height())
                continue;
            uchar *row = mask.scanLine(my);
            for (int sx = 0; sx < m_size; ++sx) {
                const int mx = left + sx;
                if (mx < 0 || mx >= mask.width())
                    continue;
                const int c = stamp[sy * m_size + sx];
                row[mx] = uchar(row[mx] + c - row[mx] * c / 255);
            }
        }
    }

private:
    int m_size;
    std::vector<uchar> m_coverage;
};

} // namespace

/// Pictures stretched to thumbnail size, shared by the GUI thread and the workers: the
/// frames of an animation mostly show the same few pictures, and scaling a large one is the
/// dearest part of a thumbnail.
class AnimationEditorView::PictureCache {
public:
    QImage scaled(const PicturePtr &picture, QSize size)
    {
        if (!picture)
            return {};
        // The window does not wait for a decode: the thumbnail is drawn without the picture
        // now and again when the model reports the picture ready.
        if (!picture->isDecoded() && QThread::currentThread() == QCoreApplication::instance()->thread())
            return {};
        std::shared_ptr<Entry> entry;
        {
            QMutexLocker lock(&m_mutex);
            std::shared_ptr<Entry> &slot = m_entries[picture.get()];
            // A freed picture's address may come back for a new one; a picture whose file
            // changed on disk has new pixels.
            const quint64 generation = picture->generation();
            if (!slot || slot->picture.lock() != picture || slot->size != size || slot->generation != generation) {
                std::erase_if(m_entries, [](const auto &e) { return e.second && e.second->picture.expired(); });
                std::shared_ptr<Entry> &fresh = m_entries[picture.get()];
                fresh = std::make_shared<Entry>();
                fresh->picture = picture;
                fresh->size = size;
                fresh->generation = generation;
                entry = fresh;
            } else {
                entry = slot;
            }
        }
        QMutexLocker lock(&entry->mutex);
        if (!entry->done) {
            entry->done = true;
            const QImage full = picture->preview();
            if (!full.isNull())
                entry->image = full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        return entry->image;
    }

private:
    struct Entry {
        std::weak_ptr<Picture> picture;
        QSize size;
        quint64 generation = 0;
        QMutex mutex;
        bool done = false;
        QImage image;
    };
    QMutex m_mutex;
    std::unordered_map<const Picture *, std::shared_ptr<Entry>> m_entries;
};

std::shared_ptr<AnimationEditorView::PictureCache> AnimationEditorView::makePictureCache()
{
    return std::make_shared<PictureCache>();
}

QImage AnimationEditorView::renderThumbnail(const QList<QPointF> &leds, const QList<bool> &selection,
                                            const QImage &picture, qreal devicePixelRatio)
{
    const QRectF bounds(0, 0, thumbnailWidth, thumbnailHeight);
    const QSize size = pixelSize(bounds.size(), devicePixelRatio);
    QImage content(size, QImage::Format_ARGB32_Premultiplied);
    content.fill(Qt::white);
    QPainter painter(&content);
    painter.scale(devicePixelRatio, devicePixelRatio);
    if (!picture.isNull()) {
        painter.setOpacity(0.8);
        painter.drawImage(QPointF(0, 0), picture.size() == size
                                             ? picture
                                             : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        painter.setOpacity(1.0);
    }

    painter.end();

    // The thumbnail is the layout space scaled by 1/16, y up.
    QImage dots(size, QImage::Format_Alpha8);
    dots.fill(0);
    const DotStamps stamps(1.5 * devicePixelRatio);
    bool lit = false;
    const qsizetype count = std::min(leds.size(), selection.size());
    for (qsizetype k = 0; k < count; ++k) {
        if (!selection[k])
            continue;
        const QPointF p = leds[k];
        stamps.stamp(dots, p.x() * 64.0 / 1024.0 * devicePixelRatio,
                     (thumbnailHeight - p.y() * 64.0 / 1024.0) * devicePixelRatio);
        lit = true;
    }
    if (lit) {
        QImage glow = dots.copy();
        blur(glow, qRound(glowRadius * devicePixelRatio));
        // White glow, then the black dots over it. A blurred 3-point dot is faint; doubling
        // keeps the glow visible on light pictures.
        for (int y = 0; y < size.height(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(content.scanLine(y));
            const uchar *g = glow.constScanLine(y);
            const uchar *d = dots.constScanLine(y);
            for (int x = 0; x < size.width(); ++x) {
                const int white = std::min(255, 2 * g[x]);
                const int keep = 255 - d[x];
                auto channel = [&](int c) { return (c + (255 - c) * white / 255) * keep / 255; };
                row[x] = qRgb(channel(qRed(row[x])), channel(qGreen(row[x])), channel(qBlue(row[x])));
            }
        }
    }

    QImage rounded(size, QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter corners(&rounded);
    corners.setRenderHint(QPainter::Antialiasing);
    corners.scale(devicePixelRatio, devicePixelRatio);
    QPainterPath shape;
    shape.addRoundedRect(bounds, cornerRadius, cornerRadius);
    corners.fillPath(shape, Qt::black);
    corners.setCompositionMode(QPainter::CompositionMode_SourceIn);
    corners.drawImage(bounds, content);
    corners.end();
    rounded.setDevicePixelRatio(devicePixelRatio);
    return rounded;
}

const QImage &AnimationEditorView::placeholderImage()
{
    const qreal ratio = devicePixelRatioF();
    if (m_placeholder.isNull() || m_placeholder.devicePixelRatio() != ratio)
        m_placeholder = renderThumbnail({}, {}, QImage(), ratio);
    return m_placeholder;
}

const QImage &AnimationEditorView::shadowImage()
{
    const qreal ratio = devicePixelRatioF();
    if (m_shadow.isNull() || m_shadow.devicePixelRatio() != ratio) {
        const QSizeF points(thumbnailWidth + 2 * shadowMargin, thumbnailHeight + 2 * shadowMargin);
        QImage shadow(pixelSize(points, ratio), QImage::Format_Alpha8);
        shadow.fill(0);
        QPainter painter(&shadow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(shadowMargin, shadowMargin, thumbnailWidth, thumbnailHeight), cornerRadius,
                             cornerRadius);
        painter.fillPath(shape, Qt::black);
        painter.end();
        blur(shadow, qRound(shadowRadius * ratio));
        m_shadow = shadow.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        m_shadow.setDevicePixelRatio(ratio);
    }
    return m_shadow;
}

std::shared_ptr<const QList<QPointF>> AnimationEditorView::ledPositions() const
{
    QList<QPointF> positions;
    positions = m_model->ledPositions();
    if (!m_leds || *m_leds != positions)
        m_leds = std::make_shared<const QList<QPointF>>(std::move(positions));
    return m_leds;
}

AnimationEditorView::ImageSource AnimationEditorView::imageSource(qsizetype index,
                                                               std::shared_ptr<const QList<QPointF>> leds) const
{
    const QList<FramePtr> *list = frames();
    if (!list || index < 0 || index >= list->size())
        return {};
    const AnimationFrame &frame = *(*list)[index];
    return {leds ? std::move(leds) : ledPositions(), frame.selection, frame.image, devicePixelRatioF()};
}

QImage AnimationEditorView::createImage(qint64 index) const
{
    const ImageSource source = imageSource(index);
    if (!source.leds)
        return {};
    const QSize size = pixelSize(QSizeF(thumbnailWidth, thumbnailHeight), source.devicePixelRatio);
    return renderThumbnail(*source.leds, source.selection, m_pictures->scaled(source.picture, size),
                           source.devicePixelRatio);
}

void AnimationEditorView::updateImage(qint64 index)
{
    if (index < 0 || index >= m_thumbnails.size())
        return;
    Thumbnail &thumbnail = *m_thumbnails[index];
    thumbnail.source = imageSource(index);
    // Workers still drawing this thumbnail skip it or see their image dropped.
    *thumbnail.request = ++m_imageRequest;
    thumbnail.image = createImage(index);
    QWidget::update();
}

void AnimationEditorView::updateImages()
{
    requestImages(m_thumbnails, true);
}

void AnimationEditorView::provideImages(const QList<ThumbnailPtr> &thumbnails)
{
    if (thumbnails.size() > synchronousImageCount) {
        requestImages(thumbnails, false);
        return;
    }
    for (const ThumbnailPtr &thumbnail : thumbnails)
        updateImage(indexOf(thumbnail));
}

/// One request to draw thumbnail images: what the workers need, copied from the model on
/// the GUI thread, and the state they share.
struct AnimationEditorView::Batch {
    struct Job {
        quint64 id;
        std::shared_ptr<std::atomic<quint64>> latest;
        quint64 request;
        ImageSource source;
    };
    std::vector<Job> jobs;
    std::atomic<size_t> next{0};
    std::atomic<int> running{0};
    std::atomic<bool> cancelled{false};
    std::vector<QFuture<void>> futures;

    std::shared_ptr<PictureCache> pictures;
};

QList<AnimationEditorView::ThumbnailPtr> AnimationEditorView::visibleFirst(const QList<ThumbnailPtr> &thumbnails) const
{
    const QRect visible = visibleRegion().boundingRect();
    if (visible.isEmpty())
        return thumbnails;
    QList<ThumbnailPtr> ordered = thumbnails;
    auto distance = [&](const ThumbnailPtr &t) {
        const double y = t->centre.y();
        return y < visible.top() ? visible.top() - y : y > visible.bottom() ? y - visible.bottom() : 0.0;
    };
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const ThumbnailPtr &a, const ThumbnailPtr &b) { return distance(a) < distance(b); });
    return ordered;
}

void AnimationEditorView::requestImages(const QList<ThumbnailPtr> &thumbnails, bool onlyChanged)
{
    auto batch = std::make_shared<Batch>();
    batch->pictures = m_pictures;
    batch->jobs.reserve(size_t(thumbnails.size()));
    const auto leds = ledPositions();
    for (const ThumbnailPtr &thumbnail : visibleFirst(thumbnails)) {
        ImageSource source = imageSource(indexOf(thumbnail), leds);
        if (!source.leds || (onlyChanged && thumbnail->source == source))
            continue;
        thumbnail->source = source;
        const quint64 request = ++m_imageRequest;
        *thumbnail->request = request;
        batch->jobs.push_back({thumbnail->id, thumbnail->request, request, std::move(source)});
    }
    if (batch->jobs.empty())
        return;

    // Each worker takes the next job, so the visible thumbnails come first; results go back
    // in small groups so that the strip fills in as it goes.
    auto work = [this, batch] {
        std::vector<RenderedImage> done;
        auto deliver = [&] {
            if (done.empty())
                return;
            QMetaObject::invokeMethod(
                this, [this, images = std::move(done)] { receiveImages(images); }, Qt::QueuedConnection);
            done = {};
        };
        while (!batch->cancelled) {
            const size_t i = batch->next++;
            if (i >= batch->jobs.size())
                break;
            const Batch::Job &job = batch->jobs[i];
            if (*job.latest != job.request)
                continue;
            const ImageSource &source = job.source;
            done.push_back({job.id, job.request,
                            renderThumbnail(*source.leds, source.selection,
                                            batch->pictures->scaled(source.picture, pixelSize(QSizeF(thumbnailWidth, thumbnailHeight), source.devicePixelRatio)),
                                            source.devicePixelRatio)});
            if (done.size() >= 8)
                deliver();
        }
        deliver();
        if (--batch->running == 0) {
            const Batch *finished = batch.get();
            QMetaObject::invokeMethod(this, [this, finished] { finishBatch(finished); }, Qt::QueuedConnection);
        }
    };
    // One core stays free for the GUI thread, so that scrolling and glides stay smooth.
    const size_t cores = size_t(std::max(1, QThread::idealThreadCount() - 1));
    const int workers = int(std::clamp<size_t>(batch->jobs.size() / 16 + 1, 1, cores));
    batch->running = workers;
    m_batches.push_back(batch);
    for (int w = 0; w < workers; ++w)
        batch->futures.push_back(QtConcurrent::run(work));
}

void AnimationEditorView::receiveImages(const std::vector<RenderedImage> &images)
{
    for (const RenderedImage &rendered : images) {
        for (const ThumbnailPtr &thumbnail : std::as_const(m_thumbnails)) {
            if (thumbnail->id != rendered.id)
                continue;
            if (*thumbnail->request == rendered.request)
                thumbnail->image = rendered.image;
            break;
        }
    }
    QWidget::update();
}

void AnimationEditorView::finishBatch(const Batch *batch)
{
    std::erase_if(m_batches, [batch](const std::shared_ptr<Batch> &b) { return b.get() == batch; });
}

void AnimationEditorView::stopRendering()
{
    for (const auto &batch : m_batches)
        batch->cancelled = true;
    for (const auto &batch : m_batches)
        for (QFuture<void> &future : batch->futures)
            future.waitForFinished();
    m_batches.clear();
}

} // namespace lumora
