#include "DocumentFileWatcher.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace lumora {

DocumentFileWatcher::DocumentFileWatcher(QObject *parent)
    : QObject(parent)
{
    // Another program's save may take several writes; look once they have settled.
    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_settle, &QTimer::timeout, this, &DocumentFileWatcher::checkNow);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_settle.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_settle.start(); });
}

DocumentFileWatcher::Stamp DocumentFileWatcher::stampOf(const QString &fileName)
{
    Stamp stamp;
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = info.st_size;
    stamp.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
#else
    const QFileInfo info(fileName);
    if (!info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

void DocumentFileWatcher::watch(const QString &fileName, const QByteArray &bytes)
{
    if (fileName == m_fileName) {
        setKnownBytes(bytes);
        return;
    }
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_settle.stop();
    m_fileName = fileName;
    m_told.clear();
    m_toldGone = false;
    setKnownBytes(bytes);
}

void DocumentFileWatcher::setKnownBytes(const QByteArray &bytes)
{
    m_known = bytes;
    m_stamp = stampOf(m_fileName);
    // Another program may have written between the save and this look: a size that is not
    // ours makes the next check read the bytes.
    if (m_stamp.size != bytes.size())
        m_stamp = Stamp();
    m_told.clear();
    m_toldGone = false;
    m_folderVanished = false;
    rewatch();
}

void DocumentFileWatcher::rewatch()
{
    if (m_fileName.isEmpty())
        return;
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    if (QFileInfo::exists(m_fileName) && !m_watcher.files().contains(m_fileName))
        m_watcher.addPath(m_fileName);
}

bool DocumentFileWatcher::isUnchanged()
{
    if (m_fileName.isEmpty())
        return true;
    const Stamp now = stampOf(m_fileName);
    if (!now.exists) {
        // A folder that went away as a whole and came back empty held nobody's save; a
        // file gone from a folder that stayed was moved or deleted, and is not re-created.
        if (!QFileInfo(QFileInfo(m_fileName).absolutePath()).isDir())
            m_folderVanished = true;
        return m_folderVanished && QFileInfo(QFileInfo(m_fileName).absolutePath()).isDir();
    }
    if (now == m_stamp)
        return true;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != m_known)
        return false;
    // Touched, or written again with the same bytes: nothing of someone else's is lost.
    m_stamp = now;
    return true;
}

void DocumentFileWatcher::checkNow()
{
    if (m_fileName.isEmpty())
        return;
    rewatch();
    // A folder that vanished as a whole (a drive unplugged, a share gone) usually comes back;
    // the saves failing meanwhile say so. A file gone from its folder was moved or deleted.
    if (!QFileInfo(QFileInfo(m_fileName).absolutePath()).isDir()) {
        m_folderVanished = true;
        return;
    }
    const Stamp stamp = stampOf(m_fileName);
    if (!stamp.exists && m_folderVanished)
        return;
    QFile file(m_fileName);
    if (!stamp.exists || !file.open(QIODevice::ReadOnly)) {
        if (!m_toldGone) {
            m_toldGone = true;
            emit gone();
        }
        return;
    }
    m_toldGone = false;
    const QByteArray bytes = file.readAll();
    if (bytes == m_known) {
        if (stamp.size == bytes.size())
            m_stamp = stamp;
        return;
    }
    if (bytes == m_told)
        return;
    m_told = bytes;
    emit changedOnDisk(bytes);
}

} // namespace lumora
