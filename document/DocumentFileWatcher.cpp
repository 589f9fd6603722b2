#include "DocumentFileWatcher.h"

#include <QFile>
#include <QFileInfo>

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

void DocumentFileWatcher::watch(const QString &fileName, const QByteArray &bytes)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_settle.stop();
    m_fileName = fileName;
    m_known = bytes;
    m_told.clear();
    m_toldGone = false;
    rewatch();
}

void DocumentFileWatcher::setKnownBytes(const QByteArray &bytes)
{
    m_known = bytes;
    m_told.clear();
    m_toldGone = false;
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

void DocumentFileWatcher::checkNow()
{
    if (m_fileName.isEmpty())
        return;
    rewatch();
    // A folder that vanished as a whole (a drive unplugged, a share gone) usually comes back;
    // the saves failing meanwhile say so. A file gone from its folder was moved or deleted.
    if (!QFileInfo(QFileInfo(m_fileName).absolutePath()).isDir())
        return;
    QFile file(m_fileName);
    if (!QFileInfo(m_fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (!m_toldGone) {
            m_toldGone = true;
            emit gone();
        }
        return;
    }
    m_toldGone = false;
    const QByteArray bytes = file.readAll();
    if (bytes == m_known || bytes == m_told)
        return;
    m_told = bytes;
    emit changedOnDisk(bytes);
}

} // namespace lumora
