#include "SaveFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace lumora {

namespace {

std::atomic<qint64> writeLimit{-1};

} // namespace

void SaveFile::setWriteLimitForTesting(qint64 bytes)
{
    writeLimit = bytes;
}

SaveFile::SaveFile(const QString &fileName)
    : m_fileName(fileName)
    , m_file(fileName)
    , m_limit(writeLimit.load())
{
}

bool SaveFile::fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QString("cannot write %1: %2").arg(m_fileName, reason);
    m_file.cancelWriting();
    return false;
}

QString SaveFile::deviceReason(int savedErrno) const
{
    const QString reason = m_file.errorString();
    if (m_file.error() != QFileDevice::NoError && !reason.isEmpty() && reason != "Unknown error")
        return reason;
    if (savedErrno != 0)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return reason.isEmpty() ? QString("unknown error") : reason;
}

bool SaveFile::open()
{
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(deviceReason(errno));
    return true;
}

bool SaveFile::write(const char *data, qint64 size)
{
    if (failed())
        return false;
    if (!m_file.isOpen())
        return fail("the file is not open");
    qint64 allowed = size;
    if (m_limit >= 0)
        allowed = std::min(size, std::max<qint64>(0, m_limit - m_written));
    errno = 0;
    const qint64 done = allowed > 0 ? m_file.write(data, allowed) : 0;
    const int savedErrno = errno;
    if (done > 0)
        m_written += done;
    if (done == size)
        return true;
    if (done < 0)
        return fail(deviceReason(savedErrno));
    if (allowed < size)
        return fail(QString("%1 (simulated after %2 bytes)")
                        .arg(QString::fromLocal8Bit(std::strerror(ENOSPC)))
                        .arg(m_written));
    return fail(QString("short write (%1 of %2 bytes): %3").arg(done).arg(size).arg(deviceReason(savedErrno)));
}

bool SaveFile::commit()
{
    if (failed())
        return false;
    // QSaveFile buffers small writes; without this flush a full disk would only show inside
    // commit(), which then still renames an empty file over the old one.
    errno = 0;
    if (!m_file.flush())
        return fail(deviceReason(errno));
    errno = 0;
    if (!m_file.commit()) {
        const QString reason = deviceReason(errno);
        if (m_error.isEmpty())
            m_error = QString("cannot write %1: %2").arg(m_fileName, reason);
        return false;
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
