#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

/// A real, tiny file system (a 64 KB tmpfs) mounted over a temporary folder, so that tests can
/// fill it and watch writes fail as they do on a full disk. Mounting needs root; without it
/// mounted() is false and skipReason() says why.
class FullFileSystem {
public:
    FullFileSystem()
    {
        if (geteuid() != 0) {
            m_skipReason = "not running as root, so no tmpfs can be mounted for the full-disk test";
            return;
        }
        if (::mount("tmpfs", m_dir.path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0) {
            m_skipReason = QString("mounting a tmpfs failed: %1").arg(std::strerror(errno));
            return;
        }
        m_mounted = true;
    }
    ~FullFileSystem()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    FullFileSystem(const FullFileSystem &) = delete;
    FullFileSystem &operator=(const FullFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_skipReason; }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    /// Takes every free block, so that the next write of any size fails.
    void fill()
    {
        QFile filler(path(".filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
        // The last partial block, byte by byte.
        while (filler.write("x", 1) > 0) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_skipReason;
};
