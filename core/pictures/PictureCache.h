#pragma once

#include "Picture.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QFileSystemWatcher;

namespace lumora {

/// The pictures of one document, one per file: the background, the strip, the timeline,
/// Colors mode, undo and the exports all hold the same `Picture` for a file, so it is
/// decoded once and held once, and it is forgotten as soon as nobody holds it. New pictures
/// decode on the thread pool. With watching on, a file changed on disk is decoded again
/// and its picture takes the new pixels, so that every holder shows them. Owned by the
/// `DocumentModel` (shared with exports running on other threads); lookups are safe from
/// any thread, watching happens on the thread the cache lives in.
class PictureCache : public QObject {
    Q_OBJECT
public:
    explicit PictureCache(QObject *parent = nullptr);
    ~PictureCache() override;

    /// A cache that may be shared with other threads and is deleted on its own thread.
    static std::shared_ptr<PictureCache> create();

    /// The picture of the file the URL names, shared with every other holder of that file.
    /// One not held yet starts decoding on the thread pool (when asked on the cache's own
    /// thread) and reports `ready`. A URL that is not a local file gets a picture of its own
    /// that says so; an empty URL none.
    PicturePtr picture(const QUrl &url);
    /// The picture as its file is now: when the file changed since it was decoded, it is
    /// decoded again on the calling thread first. Exports read pictures this way, so that
    /// every file of one export comes from one decode of what is on disk.
    PicturePtr current(const QUrl &url);
    /// The same for a picture at hand: a picture of this cache comes back up to date, any
    /// other as it is.
    PicturePtr current(const PicturePtr &picture);
    /// The picture of the file when someone holds it decoded already; none otherwise. Never
    /// decodes.
    PicturePtr decoded(const QUrl &url) const;
    /// The picture of the file when someone holds it, decoded or not; none otherwise.
    /// Never starts a decode.
    PicturePtr held(const QUrl &url) const;
    /// Whether this is the cache's picture of its file (and not one made from pixels).
    bool contains(const PicturePtr &picture) const;
    /// Pictures somebody still holds.
    qsizetype count() const;

    /// Watches the files of the pictures handed out, on this cache's thread. Off for the
    /// caches exports make for themselves.
    void setWatching(bool watching);

    /// The key of a file URL: its absolute, clean path; empty when it is no local file.
    static QString key(const QUrl &url);

signals:
    /// The picture of the file (named by an absolute file URL) has its pixels: decoded for
    /// the first time, or again after a change.
    void ready(const QUrl &url);
    /// The file changed on disk and its picture now shows what it holds.
    void reloaded(const QUrl &url);

private:
    struct Entry {
        std::weak_ptr<Picture> picture;
        /// A decode on the thread pool is under way.
        bool decoding = false;
        /// The file was seen missing after a change; looked for again a few times.
        int retries = 0;
    };

    /// Looks the file up, making its picture when nobody holds one; `made` tells which.
    PicturePtr lookUp(const QString &path, bool *made);
    /// Starts decoding the picture on the thread pool; `reload` replaces pixels it has.
    void startDecoding(const QString &path, const PicturePtr &picture, bool reload);
    void fileChanged(const QString &path);
    void watch(const QString &path);
    void forgetUnused();

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_entries;
    QFileSystemWatcher *m_watcher = nullptr;
};

} // namespace lumora
