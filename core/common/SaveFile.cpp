#include "SaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace lumora {

namespace {

std::atomic<qint64> writeLimit{-1};

constexpr qsizetype bufferSize = 1 << 16;

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// The permissions a new file gets: those of the file it replaces, else 0666 less the umask.
mode_t modeFor(const QByteArray &target)
{
    struct stat info {};
    if (::stat(target.constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void SaveFile::setWriteLimitForTesting(qint64 bytes)
{
    writeLimit = bytes;
}

SaveFile::SaveFile(const QString &fileName)
    : m_fileName(fileName)
    , m_limit(writeLimit.load())
{
}

SaveFile::~SaveFile()
{
    discard();
}

bool SaveFile::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QString("cannot write %1: %2").arg(m_fileName, reason);
    discard();
    return false;
}

bool SaveFile::failErrno(int error)
{
    return fail(reasonOf(error));
}

void SaveFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
    m_buffer.clear();
}

bool SaveFile::open()
{
    if (m_fd >= 0 || failed())
        return !failed();
    // A link is followed: the file it names is replaced, the link stays.
    const QFileInfo info(m_fileName);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : m_fileName;
    m_target = QFile::encodeName(target);
    QByteArray pattern = m_target + ".XXXXXX";
    errno = 0;
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return failErrno(errno);
    m_fd = fd;
    m_temporary = pattern;
    if (::fchmod(m_fd, modeFor(m_target)) != 0)
        return failErrno(errno);
    m_buffer.reserve(bufferSize);
    return true;
}

bool SaveFile::drain()
{
    const char *data = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        qint64 allowed = left;
        if (m_limit >= 0)
            allowed = std::min(left, std::max<qint64>(0, m_limit - m_written));
        if (allowed == 0)
            return fail(QString("%1 (simulated after %2 bytes)").arg(reasonOf(ENOSPC)).arg(m_written));
        const ssize_t done = ::write(m_fd, data, size_t(allowed));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return failErrno(errno);
        }
        if (done == 0)
            return fail(QString("short write after %1 bytes").arg(m_written));
        data += done;
        left -= done;
        m_written += done;
    }
    m_buffer.clear();
    return true;
}

bool SaveFile::write(const char *data, qint64 size)
{
    if (failed())
        return false;
    if (m_fd < 0)
        return fail("the file is not open");
    while (size > 0) {
        const qint64 room = bufferSize - m_buffer.size();
        const qint64 part = std::min(room, size);
        m_buffer.append(data, part);
        data += part;
        size -= part;
        if (m_buffer.size() >= bufferSize && !drain())
            return false;
    }
    return true;
}

bool SaveFile::commit()
{
    if (failed())
        return false;
    if (m_fd < 0)
        return fail("the file is not open");
    if (!drain())
        return false;
    // Network and some local file systems report a full disk, a quota or a server error
    // only here; renaming before knowing would put unconfirmed bytes over the old file.
    if (::fdatasync(m_fd) != 0)
        return fail(QString("the data could not be confirmed on disk: %1").arg(reasonOf(errno)));
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        return fail(QString("closing the file failed: %1").arg(reasonOf(errno)));
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        return failErrno(errno);
    m_temporary.clear();
    // The rename itself reaches the disk with the folder; a file system that cannot sync
    // folders says so with EINVAL, which is no failure of this save.
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(m_target)).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool synced = ::fsync(dir) == 0 || errno == EINVAL || errno == EROFS;
        const int error = errno;
        ::close(dir);
        if (!synced) {
            m_error = QString("cannot write %1: the file was replaced but its folder could not be "
                              "confirmed on disk: %2")
                          .arg(m_fileName, reasonOf(error));
            return false;
        }
    }
    return true;
}

bool saveFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    SaveFile file(fileName);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace lumora
