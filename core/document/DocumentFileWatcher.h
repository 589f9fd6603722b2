#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace lumora {

/// Watches a document's file for what others do to it: changed bytes (not the ones this
/// document last wrote or read) or the file moved away or deleted. The file and its folder
/// are both watched, because an atomic save replaces the file and ends a watch on it. It
/// also remembers the file's size, modification time and inode as last read or written, so
/// that a save can make sure it writes over nobody else's.
class DocumentFileWatcher : public QObject {
    Q_OBJECT
public:
    explicit DocumentFileWatcher(QObject *parent = nullptr);

    /// Watches the file, whose content is now the bytes (empty name: watches nothing).
    void watch(const QString &fileName, const QByteArray &bytes);
    /// The bytes this document just wrote or took over: not a change by someone else. A
    /// look already under way still happens, so another program's save that came just
    /// before is still told.
    void setKnownBytes(const QByteArray &bytes);
    QString fileName() const { return m_fileName; }
    /// True when the file on disk is the one last read or written: the same size,
    /// modification time and inode, or else the same bytes. Tells nothing.
    bool isUnchanged();
    /// Checks the file now rather than after the short settling delay.
    void checkNow();

signals:
    /// The file holds bytes this document did not write; told once per distinct content.
    void changedOnDisk(const QByteArray &bytes);
    /// The file is no longer in its folder (moved, renamed or deleted); told once until it
    /// returns. A folder gone as a whole is not told: saving there fails and says so.
    void gone();

public:
    /// What identifies one state of a file without reading it.
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0; // nanoseconds
        quint64 inode = 0;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const QString &fileName);

private:
    void rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_fileName;
    QByteArray m_known;
    Stamp m_stamp;
    QByteArray m_told;
    bool m_toldGone = false;
    bool m_folderVanished = false;
};

} // namespace lumora
