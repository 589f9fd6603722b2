#include "ImageBrowserThumbnails.h"

#include "animation/PictureCache.h"

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
    // The watcher belongs to this object: when the strip goes away first, the result of a
    // load still running is simply dropped.
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, url] {
        finished(url, watcher->result());
        watcher->deleteLater();
    });
    if (const PicturePtr picture = m_pictures ? m_pictures->decoded(url) : nullptr) {
        watcher->setFuture(QtConcurrent::run([picture] {
            const QImage image = picture->image();
            return image.isNull() ? image : image.scaled(QSize(side, side), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }));
    } else {
        watcher->setFuture(QtConcurrent::run(&ImageBrowserThumbnails::load, url.toLocalFile()));
    }
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
        entry = {ThumbnailState::Ready, QIcon(QPixmap::fromImage(image))};
    }
    emit ready(url);
}

} // namespace lumora
