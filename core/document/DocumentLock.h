#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace lumora {

/// One writer per file: a lock file beside the file ("<dir>/.<name>.lock", the file's links
/// resolved, so every path to one file shares one lock) held while a
/// document has the file open. A lock left by a process that is gone is taken over; one
/// held by a live process, or already by this process, is not.
class DocumentLock {
public:
    enum class State { Unlocked, Locked, HeldElsewhere };

    explicit DocumentLock(QString fileName = {});
    ~DocumentLock();
    DocumentLock(const DocumentLock &) = delete;
    DocumentLock &operator=(const DocumentLock &) = delete;

    /// The lock file that guards the file.
    static QString lockFileName(const QString &fileName);
    /// True when another live process, or another lock of this process, holds the file.
    static bool isHeldElsewhere(const QString &fileName);

    /// Tries to take the lock; Locked, or HeldElsewhere when someone else holds it.
    State lock();
    /// Lets go of the lock (a no-op when not held).
    void unlock();
    /// Unlocks and guards another file instead (empty: none).
    void setFileName(const QString &fileName);
    QString fileName() const { return m_fileName; }
    bool isLocked() const;
    /// Who holds the file when HeldElsewhere: "process 1234 on host" (empty when unknown).
    QString holder() const { return m_holder; }

private:
    QString m_fileName;
    QString m_holder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace lumora
