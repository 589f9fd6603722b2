#pragma once

#include <QFuture>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QUrl>

#include <memory>

namespace lumora {

class Picture;
class PictureCache;

/// Whether a thumbnail can be shown yet.
enum class ThumbnailState { Loading, Ready, Missing };

/// Thumbnails of the strip's pictures, made on the thread pool and kept per URL for the life
/// of the strip, so scrolling and reordering never decode again. A picture the document
/// holds is scaled from its pixels; any other is decoded at a reduced size
/// and not kept. A picture that cannot be read gets a placeholder. Owned by the
/// `ImageBrowserModel`.
class ImageBrowserThumbnails : public QObject {
    Q_OBJECT
public:
    /// The longest side of a thumbnail in pixels; the strip never shows them larger.
    static constexpr int side = 256;

    explicit ImageBrowserThumbnails(PictureCache *pictures, QObject *parent = nullptr);

    /// The thumbnail of a loadable URL, or a placeholder while it loads (which starts
    /// the load) or when it cannot be read.
    QIcon icon(const QUrl &url);
    ThumbnailState state(const QUrl &url) const;
    /// Forgets the pictures that could not be read, so that they are tried again.
    void forgetMissing();
    /// Forgets the thumbnail of a file that changed, so that the next look makes it anew.
    void forget(const QUrl &url);

    /// Decodes a picture file scaled to fit `side` × `side`, refusing what the document's
    /// pictures refuse; a null image on failure.
    static QImage load(const QString &fileName);

signals:
    void ready(const QUrl &url);

private:
    struct Entry {
        ThumbnailState state = ThumbnailState::Loading;
        QIcon icon;
    };

    void finished(const QUrl &url, const QImage &image);

    /// Takes the thumbnail the future makes when it is done.
    void start(const QUrl &url, const QFuture<QImage> &future);
    /// Starts the thumbnail of a picture the document holds decoded.
    void scale(const QUrl &url, const std::shared_ptr<Picture> &picture);

    PictureCache *m_pictures;
    QHash<QUrl, Entry> m_entries;
    /// Thumbnails waiting for the document's decode of their picture, by the cache's key;
    /// the picture is held so that the decode is not dropped meanwhile.
    QHash<QString, QList<QUrl>> m_waiting;
    QHash<QString, std::shared_ptr<Picture>> m_waitingFor;
};

} // namespace lumora
