#include "PictureCache.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>

namespace lumora {

namespace {

/// How often, and how far apart, a changed file that is missing is looked for again: a
/// program saving by writing a new file and renaming it over the old one leaves a moment
/// without either.
constexpr int missingRetries = 20;
constexpr int missingRetryMs = 100;

/// Decodes run on a pool of their own: QPainter spreads large drawing over the global pool
/// and waits for it, so a long decode there would stall the window's painting.
QThreadPool *decoders()
{
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() / 2));
        return true;
    }();
    Q_UNUSED(sized);
    return &pool;
}

} // namespace

PictureCache::PictureCache(QObject *parent)
    : QObject(parent)
{
}

PictureCache::~PictureCache() = default;

std::shared_ptr<PictureCache> PictureCache::create()
{
    // An export on a worker thread may hold the cache last; its watcher must still go
    // away on the cache's own thread.
    return std::shared_ptr<PictureCache>(new PictureCache, [](PictureCache *cache) {
        if (cache->thread() == QThread::currentThread())
            delete cache;
        else
            cache->deleteLater();
    });
}

QString PictureCache::key(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    return QDir::cleanPath(QFileInfo(url.toLocalFile()).absoluteFilePath());
}

PicturePtr PictureCache::lookUp(const QString &path, bool *made)
{
    QMutexLocker lock(&m_mutex);
    forgetUnused();
    Entry &entry = m_entries[path];
    if (PicturePtr picture = entry.picture.lock()) {
        *made = false;
        return picture;
    }
    PicturePtr picture = Picture::fromUrl(QUrl::fromLocalFile(path));
    entry = Entry{picture};
    *made = true;
    return picture;
}

PicturePtr PictureCache::picture(const QUrl &url)
{
    if (url.isEmpty())
        return nullptr;
    const QString path = key(url);
    if (path.isEmpty())
        return Picture::fromUrl(url);
    bool made = false;
    PicturePtr picture = lookUp(path, &made);
    if (QThread::currentThread() == thread()) {
        watch(path);
        if (made)
            startDecoding(path, picture, false);
    }
    return picture;
}

PicturePtr PictureCache::current(const QUrl &url)
{
    PicturePtr picture = this->picture(url);
    const QString path = key(url);
    if (!picture || path.isEmpty())
        return picture;
    picture->image(); // waits for a decode under way, or decodes here
    const FileStamp now = FileStamp::of(path);
    if (now == picture->stamp())
        return picture;
    picture->replace(loadPicture(path), now);
    // The window learns of it as of a change it saw itself.
    const QUrl file = QUrl::fromLocalFile(path);
    QMetaObject::invokeMethod(
        this,
        [this, file] {
            emit ready(file);
            emit reloaded(file);
        },
        Qt::QueuedConnection);
    return picture;
}

PicturePtr PictureCache::current(const PicturePtr &picture)
{
    return contains(picture) ? current(picture->url()) : picture;
}

PicturePtr PictureCache::held(const QUrl &url) const
{
    const QString path = key(url);
    QMutexLocker lock(&m_mutex);
    const auto found = m_entries.constFind(path);
    return found == m_entries.constEnd() ? nullptr : found->picture.lock();
}

PicturePtr PictureCache::decoded(const QUrl &url) const
{
    PicturePtr picture = held(url);
    return picture && picture->isDecoded() ? picture : nullptr;
}

bool PictureCache::contains(const PicturePtr &picture) const
{
    if (!picture)
        return false;
    const QString path = key(picture->url());
    QMutexLocker lock(&m_mutex);
    const auto found = m_entries.constFind(path);
    return found != m_entries.constEnd() && found->picture.lock() == picture;
}

qsizetype PictureCache::count() const
{
    QMutexLocker lock(&m_mutex);
    return std::count_if(m_entries.cbegin(), m_entries.cend(), [](const Entry &e) { return !e.picture.expired(); });
}

void PictureCache::setWatching(bool watching)
{
    if (watching == (m_watcher != nullptr))
        return;
    if (!watching) {
        delete m_watcher;
        m_watcher = nullptr;
        return;
    }
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &PictureCache::fileChanged);
    QStringList paths;
    {
        QMutexLocker lock(&m_mutex);
        paths = m_entries.keys();
    }
    for (const QString &path : paths)
        watch(path);
}

void PictureCache::watch(const QString &path)
{
    if (!m_watcher || m_watcher->files().contains(path) || !QFileInfo(path).isFile())
        return;
    m_watcher->addPath(path);
}

void PictureCache::forgetUnused()
{
    // Called with the lock held. Watches of forgotten files stay until their next change.
    m_entries.removeIf([](const auto &entry) { return entry.value().picture.expired(); });
}

void PictureCache::startDecoding(const QString &path, const PicturePtr &picture, bool reload)
{
    {
        QMutexLocker lock(&m_mutex);
        m_entries[path].decoding = true;
    }
    const std::weak_ptr<Picture> weak = picture;
    // The watcher belongs to the cache: when the document goes first, a decode still
    // running finishes into a picture nobody holds, and is dropped.
    auto *done = new QFutureWatcher<void>(this);
    connect(done, &QFutureWatcher<void>::finished, this, [this, done, path, weak, reload] {
        done->deleteLater();
        PicturePtr picture = weak.lock();
        {
            QMutexLocker lock(&m_mutex);
            if (m_entries.contains(path))
                m_entries[path].decoding = false;
        }
        if (!picture)
            return;
        const QUrl url = QUrl::fromLocalFile(path);
        emit ready(url);
        if (reload)
            emit reloaded(url);
        // Written again while it decoded.
        if (m_watcher && QFileInfo(path).isFile() && FileStamp::of(path) != picture->stamp())
            fileChanged(path);
    });
    done->setFuture(QtConcurrent::run(decoders(), [weak, path, reload] {
        PicturePtr picture = weak.lock();
        if (!picture)
            return;
        if (!reload) {
            picture->image();
            return;
        }
        const FileStamp stamp = FileStamp::of(path);
        picture->replace(loadPicture(path), stamp);
    }));
}

void PictureCache::fileChanged(const QString &path)
{
    PicturePtr picture;
    {
        QMutexLocker lock(&m_mutex);
        const auto found = m_entries.find(path);
        picture = found == m_entries.end() ? nullptr : found->picture.lock();
        if (!picture) {
            m_entries.remove(path);
            lock.unlock();
            if (m_watcher)
                m_watcher->removePath(path);
            return;
        }
        if (!QFileInfo(path).isFile()) {
            if (found->retries++ < missingRetries)
                QTimer::singleShot(missingRetryMs, this, [this, path] { fileChanged(path); });
            return;
        }
        found->retries = 0;
        // The decode under way looks at the stamp again when it ends.
        if (found->decoding)
            return;
    }
    watch(path); // a file replaced by a rename is a new file to watch
    // Never decoded yet: the first decode reads the new file anyway.
    if (!picture->isDecoded() || FileStamp::of(path) == picture->stamp())
        return;
    startDecoding(path, picture, true);
}

} // namespace lumora
