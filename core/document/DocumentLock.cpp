#include "DocumentLock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

namespace lumora {

namespace {

/// The files locked by this process: QLockFile cannot tell two locks of one process apart.
QSet<QString> &heldHere()
{
    static QSet<QString> held;
    return held;
}

/// The folder resolved through links, so that two spellings of one file share one lock.
QString folderOf(const QFileInfo &info)
{
    const QString canonical = QFileInfo(info.absolutePath()).canonicalFilePath();
    return canonical.isEmpty() ? info.absolutePath() : canonical;
}

} // namespace

DocumentLock::DocumentLock(QString fileName)
    : m_fileName(std::move(fileName))
{
}

DocumentLock::~DocumentLock()
{
    unlock();
}

QString DocumentLock::lockFileName(const QString &fileName)
{
    // Keyed by the file itself, links resolved: the same file reached through a symbolic
    // link is the same file in use. A file not there yet is named through its folder.
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    const QFileInfo info(canonical.isEmpty() ? fileName : canonical);
    return folderOf(info) + "/." + info.fileName() + ".lock";
}

bool DocumentLock::isHeldElsewhere(const QString &fileName)
{
    if (heldHere().contains(lockFileName(fileName)))
        return true;
    QLockFile probe(lockFileName(fileName));
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    // A folder we cannot write into is no sign of another writer.
    return probe.error() == QLockFile::LockFailedError;
}

DocumentLock::State DocumentLock::lock()
{
    if (isLocked())
        return State::Locked;
    m_holder.clear();
    if (m_fileName.isEmpty())
        return State::Unlocked;
    const QString lockName = lockFileName(m_fileName);
    if (heldHere().contains(lockName)) {
        m_holder = QCoreApplication::translate("DocumentLock", "this process");
        return State::HeldElsewhere;
    }
    auto lock = std::make_unique<QLockFile>(lockName);
    // Never stale by age: only a lock whose process is gone is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        if (lock->getLockInfo(&pid, &host, &application))
            m_holder = QCoreApplication::translate("DocumentLock", "process %1 on %2").arg(pid).arg(host);
        return State::HeldElsewhere;
    }
    // A lock that could not be written (a read-only folder) leaves the file unguarded but
    // editable, as before; saving reports the folder itself.
    if (!lock->isLocked())
        return State::Unlocked;
    heldHere().insert(lockName);
    m_lock = std::move(lock);
    return State::Locked;
}

void DocumentLock::unlock()
{
    if (!m_lock)
        return;
    heldHere().remove(m_lock->fileName());
    m_lock->unlock();
    m_lock.reset();
}

void DocumentLock::setFileName(const QString &fileName)
{
    unlock();
    m_fileName = fileName;
}

bool DocumentLock::isLocked() const
{
    return m_lock && m_lock->isLocked();
}

} // namespace lumora
