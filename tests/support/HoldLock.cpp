// A second process for the lock tests: takes a document's lock (or a recovery file's),
// says "locked" and holds it until killed, as another running instance would.
#include "document/DocumentLock.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumora-hold-lock FILE\n");
        return 2;
    }
    lumora::DocumentLock lock(QString::fromLocal8Bit(argv[1]));
    if (lock.lock() != lumora::DocumentLock::State::Locked) {
        std::fprintf(stderr, "lumora-hold-lock: %s is not free\n", argv[1]);
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    return app.exec();
}
