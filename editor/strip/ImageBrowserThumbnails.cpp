#include "ImageBrowserThumbnails.h"

#include "pictures/PictureCache.h"

#include <QFile>
#include <QFutureWatcher>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QtConcurrent>

namespace lumora {

namespace {

/// A dark frame; with `crossed` also a cross, for a picture that cannot be read.
QIcon placeholder(bool crossed)
{
    const int s = 128;
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(8.5, 20.5, s - 17, s - 41);
    painter.setPen(QPen(QColor(96, 96, 96), 2));
    painter.setBrush(QColor(32, 32, 32));
    painter.drawRoundedRect(frame, 6, 6);
    if (crossed) {
        painter.setPen(QPen(QColor(160, 60, 60), 4, Qt::SolidLine, Qt::RoundCap));
        const QRectF mark = frame.adjusted(36, 20, -36, -20);
        painter.drawLine(mark.topLeft(), mark.bottomRight());
        painter.drawLine(mark.topRight(), mark.bottomLeft());
    }
    return QIcon(pixmap);
}

const QIcon &loadingIcon()
{
    static const QIcon icon = placeholder(false);
    return icon;
}

const QIcon &missingIcon()
{
    static const QIcon icon = placeholder(true);
    return icon;
}

} // namespace

ImageBrowserThumbnails::ImageBrowserThumbnails(PictureCache *pictures, QObject *parent)
    : QObject(parent)
    , m_pictures(pictures)
{
    if (!m_pictures)
        return;
    connect(m_pictures, &PictureCache::ready, this, [this](const QUrl &file) {
        const QString key = PictureCache::key(file);
        const QList<QUrl> urls = m_waiting.take(key);
        const std::shared_ptr<Picture> picture = m_waitingFor.take(key);
        for (const QUrl &url : urls)
            scale(url, picture);
    });
}

QImage ImageBrowserThumbnails::load(const QString &fileName)
{
    QFile file;
    QImageReader reader;
    if (!openPicture(fileName, file, reader, nullptr))
        return {};
    const QSize size = reader.size();
    // Formats that can decode at a reduced size do so; QImageReader scales the others.
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    return reader.read();
}

QIcon ImageBrowserThumbnails::icon(const QUrl &url)
{
    const auto found = m_entries.constFind(url);
    if (found != m_entries.constEnd()) {
        switch (found->state) {
        case ThumbnailState::Ready:
            return found->icon;
        case ThumbnailState::Missing:
            return missingIcon();
        case ThumbnailState::Loading:
            return loadingIcon();
        }
    }
    if (!url.isLocalFile()) {
        m_entries.insert(url, {ThumbnailState::Missing, {}});
        return missingIcon();
    }
    m_entries.insert(url, {ThumbnailState::Loading, {}});
    // A picture the document holds is scaled from its preview once the document's decode
    // is done, rather than decoded a second time.
    if (const PicturePtr picture = m_pictures ? m_pictures->held(url) : nullptr) {
        if (picture->isDecoded()) {
            scale(url, picture);
        } else {
            const QString key = PictureCache::key(url);
            m_waiting[key].append(url);
            m_waitingFor[key] = picture;
        }
        return loadingIcon();
    }
    start(url, QtConcurrent::run(&ImageBrowserThumbnails::load, url.toLocalFile()));
    return loadingIcon();
}

ThumbnailState ImageBrowserThumbnails::state(const QUrl &url) const
{
    const auto found = m_entries.constFind(url);
    return found == m_entries.constEnd() ? ThumbnailState::Loading : found->state;
}

void ImageBrowserThumbnails::forgetMissing()
{
    m_entries.removeIf([](const auto &entry) { return entry.value().state == ThumbnailState::Missing; });
}

void ImageBrowserThumbnails::start(const QUrl &url, const QFuture<QImage> &future)
{
    // The watcher belongs to this object: when the strip goes away first, the result of a
    // load still running is simply dropped.
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, url] {
        finished(url, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(future);
}

void ImageBrowserThumbnails::scale(const QUrl &url, const std::shared_ptr<Picture> &picture)
{
    start(url, QtConcurrent::run([picture] {
        const QImage preview = picture ? picture->preview() : QImage();
        return preview.isNull() ? preview : preview.scaled(QSize(side, side), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }));
}

void ImageBrowserThumbnails::forget(const QUrl &url)
{
    m_entries.remove(url);
}

void ImageBrowserThumbnails::finished(const QUrl &url, const QImage &image)
{
    Entry &entry = m_entries[url];
    if (image.isNull() || image.width() == 0) {
        entry = {ThumbnailState::Missing, {}};
    } else {
        // In full colour: a 1-bit picture would otherwise become a two-colour bitmap pixmap.
        entry = {ThumbnailState::Ready,
                 QIcon(QPixmap::fromImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)))};
    }
    emit ready(url);
}

} // namespace lumora
