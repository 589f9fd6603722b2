#include "FileChecks.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumora {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

} // namespace

bool openRegularFile(const QString &fileName, QFile &file, QString *error)
{
    auto refuse = [&](const QString &reason) {
        if (error)
            *error = QString("cannot open %1: %2").arg(fileName, reason);
        return false;
    };
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const QString kind = kindOf(info.st_mode);
        ::close(fd);
        return refuse(QString("it is %1, not a file").arg(kind));
    }
    // Regular files never block; reads go on as usual without the flag.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.setFileName(fileName);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    return true;
}

bool readBounded(QIODevice &device, qint64 limit, QByteArray &out, QString *error)
{
    constexpr qint64 chunk = 1 << 20;
    out.clear();
    if (const qint64 size = device.size(); !device.isSequential() && size > 0 && size <= limit)
        out.reserve(size);
    QByteArray buffer(chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(buffer.data(), chunk);
        if (got < 0) {
            if (error)
                *error = device.errorString();
            return false;
        }
        if (got == 0)
            return true;
        if (out.size() + got > limit) {
            if (error)
                *error = QString("it is larger than %1 MB").arg(limit >> 20);
            out.clear();
            return false;
        }
        out.append(buffer.constData(), got);
    }
}

bool readRegularFile(const QString &fileName, qint64 limit, QByteArray &out, QString *error)
{
    QFile file;
    if (!openRegularFile(fileName, file, error))
        return false;
    if (file.size() > limit) {
        if (error)
            *error = QString("cannot open %1: it is %2 MB; files above %3 MB are refused")
                         .arg(fileName)
                         .arg(file.size() >> 20)
                         .arg(limit >> 20);
        return false;
    }
    QString reason;
    if (!readBounded(file, limit, out, &reason)) {
        if (error)
            *error = QString("cannot read %1: %2").arg(fileName, reason);
        return false;
    }
    return true;
}

} // namespace lumora
