#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

/// An atomic file write that cannot report success falsely. Bytes go to a temporary file
/// "<name>.XXXXXX" beside the target that replaces it only on commit(); every write is
/// checked (a short write is a failure), and commit() confirms the bytes on disk (fdatasync)
/// and the close before it renames, so that a full disk, a quota or a server error that a
/// network file system reports only then is a failed save too. The first failure's real
/// reason is kept; on failure the old file is left untouched and the temporary file removed.
/// Every file the program writes goes through this class.
class SaveFile {
public:
    explicit SaveFile(const QString &fileName);
    ~SaveFile();
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    bool open();
    /// Appends the bytes; false (and every later call false) when not all were written.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    /// Flushes, syncs, closes and replaces the target; false when any step failed, the
    /// target untouched.
    bool commit();

    bool failed() const { return !m_error.isEmpty(); }
    /// "cannot write <file>: <reason>" for the first failure; empty while all is well.
    QString errorString() const { return m_error; }
    QString fileName() const { return m_fileName; }

    /// Test hook: every SaveFile opened while the limit is set writes at most that many bytes
    /// and then behaves as if the disk were full. A negative limit switches it off.
    static void setWriteLimitForTesting(qint64 bytes);

private:
    bool fail(const QString &reason);
    bool failErrno(int error);
    /// Writes the buffered bytes to the temporary file.
    bool drain();
    /// Closes and removes the temporary file (after a failure, or without a commit).
    void discard();

    QString m_fileName;
    /// The file actually replaced: the target of a symbolic link, else the name given.
    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    QByteArray m_buffer;
    QString m_error;
    qint64 m_limit = -1;
    qint64 m_written = 0;
};

/// Writes the bytes to the file through SaveFile. On failure returns false and, when asked,
/// a message naming the file and the reason.
bool saveFile(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

} // namespace lumora
