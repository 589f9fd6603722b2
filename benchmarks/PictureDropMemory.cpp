// Memory and GUI-thread time of dropping one picture several times on a layout, the way a
// document window holds it (the layout editor and the picture strip on one document model).
//
//   picture_drop_memory make FILE WIDTH HEIGHT   writes a red PNG of that size
//   picture_drop_memory drop FILE [TIMES]        drops it TIMES (5) times and reports
//
// Run `make` and `drop` as separate processes, so that writing the picture does not count.
#include "editor/strip/ImageBrowserController.h"
#include "document/DocumentModel.h"
#include "editor/View.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

using namespace lumora;

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double currentMegabytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1 << 20) : 0;
}

/// Runs the event loop until the thread pools and the window have finished what the drop
/// started; answers the longest the loop was kept from turning (a 5 ms timer's longest gap).
qint64 settle(const DocumentModel *model = nullptr)
{
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.restart());
    });
    sinceTick.start();
    ticker.start();
    QElapsedTimer quiet;
    quiet.start();
    QEventLoop loop;
    // Done when the pool is idle and the loop has turned freely for 300 ms.
    while (quiet.elapsed() < 300) {
        loop.processEvents(QEventLoop::AllEvents, 10);
        // Decodes run on a pool of their own; the background tells when its decode is done.
        const PicturePtr background = model ? model->background() : nullptr;
        if (QThreadPool::globalInstance()->activeThreadCount() > 0 || (background && !background->isDecoded()))
            quiet.restart();
    }
    return std::max(longest, sinceTick.elapsed());
}

int make(const QString &fileName, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image.save(fileName, "png") ? 0 : 1;
}

int drop(const QString &fileName, int times)
{
    std::printf("start: %.0f MB\n", currentMegabytes());
    {
        DocumentModel model;
        View view(&model);
        ImageBrowserController strip(&model, {});
        view.resize(1024, 768);
        view.show();
        strip.show();
        settle();
        for (int i = 0; i < times; ++i) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath())});
            QDragEnterEvent enter(QPoint(512, 384), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&view, &enter);
            QDropEvent event(QPointF(512, 384), Qt::CopyAction, &data, Qt::LeftButton, {});
            QElapsedTimer clock;
            clock.start();
            QApplication::sendEvent(&view, &event);
            // The window paints the new background, as it would on screen.
            view.repaint();
            const qint64 blocked = clock.elapsed();
            const qint64 stalled = settle(&model);
            std::printf("drop %d: the drop and a paint took %lld ms on the GUI thread, the event loop then stalled up "
                        "to %lld ms; now %.0f MB, peak %.0f MB, strip %lld\n",
                        i + 1, blocked, stalled, currentMegabytes(), peakMegabytes(), qint64(model.images().size()));
        }
    }
    settle();
    std::printf("after the window closed: %.0f MB (peak %.0f MB)\n", currentMegabytes(), peakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == "make")
        return make(args[2], args[3].toInt(), args[4].toInt());
    if (args.size() >= 3 && args[1] == "drop")
        return drop(args[2], args.size() > 3 ? args[3].toInt() : 5);
    std::fprintf(stderr, "usage: %s make FILE WIDTH HEIGHT | drop FILE [TIMES]\n", argv[0]);
    return 2;
}
