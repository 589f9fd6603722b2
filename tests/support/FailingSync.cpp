// A library preloaded into a program under test (LD_PRELOAD) that makes the calls which
// confirm a write fail the way network file systems report a full disk or a server error:
// with LUMORA_FAIL=sync every fsync and fdatasync fails with EIO; with LUMORA_FAIL=close
// closing a regular file opened for writing closes it but reports EIO; with LUMORA_FAIL=send
// every datagram is refused as on a network that is down (ENETUNREACH).
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool failing(const char *what)
{
    const char *mode = std::getenv("LUMORA_FAIL");
    return mode && std::strcmp(mode, what) == 0;
}

template <class Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd)
{
    if (failing("sync")) {
        errno = EIO;
        return -1;
    }
    static auto real = next<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    if (failing("sync")) {
        errno = EIO;
        return -1;
    }
    static auto real = next<int (*)(int)>("fdatasync");
    return real(fd);
}

extern "C" int close(int fd)
{
    static auto real = next<int (*)(int)>("close");
    if (failing("close")) {
        struct stat info {};
        const int flags = fcntl(fd, F_GETFL);
        if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY && fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            real(fd);
            errno = EIO;
            return -1;
        }
    }
    return real(fd);
}

extern "C" ssize_t sendmsg(int fd, const struct msghdr *message, int flags)
{
    if (failing("send")) {
        errno = ENETUNREACH;
        return -1;
    }
    static auto real = next<ssize_t (*)(int, const struct msghdr *, int)>("sendmsg");
    return real(fd, message, flags);
}

extern "C" ssize_t sendto(int fd, const void *data, size_t size, int flags, const struct sockaddr *to, socklen_t length)
{
    if (failing("send")) {
        errno = ENETUNREACH;
        return -1;
    }
    static auto real = next<ssize_t (*)(int, const void *, size_t, int, const struct sockaddr *, socklen_t)>("sendto");
    return real(fd, data, size, flags, to, length);
}
