// A document's pictures: one decode and one copy per file, forgotten when unused, and
// decoded again everywhere (background, frames, exports) when the file changes on disk.
#include "pictures/PictureCache.h"
#include "document/DocumentModel.h"
#include "exports/Exporter.h"
#include "document/UndoManager.h"
#include "patterns/catalogue/Catalogue.h"

#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// The watcher and the decodes report through the event loop.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "document_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

/// Writes a solid picture of the size over the file, and makes its modification time
/// differ from the last one even within the file system's time resolution.
void writePicture(const QString &fileName, QColor color, QSize size = {16, 12})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QDateTime before = QFileInfo(fileName).lastModified();
    ASSERT_TRUE(image.save(fileName, "png"));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    if (before.isValid())
        file.setFileTime(before.addSecs(2), QFileDevice::FileModificationTime);
}

QColor colorOf(const PicturePtr &picture)
{
    return picture && !picture->image().isNull() ? picture->image().pixelColor(0, 0) : QColor();
}

} // namespace

TEST(PictureCache, OneFileIsDecodedOnceHeldOnceAndForgottenWhenUnused)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString file = dir.filePath("art.png");
    writePicture(file, Qt::red);
    PictureCache cache;
    QSignalSpy ready(&cache, &PictureCache::ready);
    const qint64 decodes = Picture::decodeCount();

    PicturePtr first = cache.picture(QUrl::fromLocalFile(file));
    // Other spellings of the same file, asked while the first decode runs and after it.
    PicturePtr again = cache.picture(QUrl::fromLocalFile(dir.filePath("./sub/../art.png")));
    ASSERT_TRUE(ready.wait(5000));
    PicturePtr later = cache.picture(QUrl::fromLocalFile(file));
    EXPECT_EQ(first, again);
    EXPECT_EQ(first, later);
    EXPECT_EQ(colorOf(first), QColor(Qt::red));
    EXPECT_EQ(Picture::decodeCount() - decodes, 1);
    EXPECT_EQ(cache.count(), 1);
    EXPECT_EQ(cache.decoded(QUrl::fromLocalFile(file)), first);

    const std::weak_ptr<Picture> gone = first;
    first.reset();
    again.reset();
    later.reset();
    EXPECT_TRUE(gone.expired()) << "the cache itself holds no picture";
    EXPECT_EQ(cache.count(), 0);
    EXPECT_FALSE(cache.decoded(QUrl::fromLocalFile(file)));
}

// The bitmap history: dropping one big picture five times decoded it five times and undo
// kept every copy.
TEST(PictureCache, TheBackgroundHistoryHoldsPicturesByTheirFileOnly)
{
    ensureApplication();
    QTemporaryDir dir;
    const QStringList files{dir.filePath("a.png"), dir.filePath("b.png"), dir.filePath("c.png")};
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i)
        writePicture(files[i], colors[i]);
    DocumentModel model;
    UndoManager &undo = *model.undoManager();
    const qint64 decodes = Picture::decodeCount();

    PicturePtr shown;
    for (int drop = 0; drop < 5; ++drop) {
        const QUrl url = QUrl::fromLocalFile(files[0]);
        model.setBackground(model.pictures()->picture(url), url);
        undo.endGrouping();
        if (shown) {
            EXPECT_EQ(model.background(), shown) << "drop " << drop;
        }
        shown = model.background();
        model.bitmap(); // shown, and sampled
    }
    EXPECT_EQ(Picture::decodeCount() - decodes, 1);
    EXPECT_EQ(model.bitmap()->constBits(), model.background()->image().constBits()) << "one copy of the pixels";

    for (int i = 1; i < 3; ++i) {
        const QUrl url = QUrl::fromLocalFile(files[i]);
        model.setBackground(model.pictures()->picture(url), url);
        undo.endGrouping();
    }
    shown.reset();
    // A decode still running on the pool holds its picture until it ends.
    for (int wait = 0; wait < 500 && model.pictures()->count() != 1; ++wait)
        QThread::msleep(10);
    EXPECT_EQ(model.pictures()->count(), 1) << "undo holds no picture that is not shown";

    // Undo brings each picture back from its file.
    for (int i : {1, 0}) {
        undo.undo();
        ASSERT_TRUE(model.background());
        EXPECT_EQ(colorOf(model.background()), colors[i]);
        EXPECT_EQ(model.backgroundUrl(), QUrl::fromLocalFile(files[i]));
    }
}

// A picture replaced on disk stayed stale on screen while the export read the new file for
// the headers and the old one for Image.ppm.
TEST(PictureCache, APictureRewrittenOnDiskIsSeenAnewByTheBackgroundTheFramesAndTheExport)
{
    ensureApplication();
    const PatternRegistry patterns = builtInPatterns();
    const ColorPattern *imagePattern = patterns.named("Image");
    ASSERT_NE(imagePattern, nullptr);
    QTemporaryDir dir;
    const QString file = dir.filePath("art.png");
    writePicture(file, Qt::red);
    const QUrl url = QUrl::fromLocalFile(file);

    DocumentModel model;
    QSignalSpy ready(model.pictures(), &PictureCache::ready);
    model.addLeds({{512, 384}}, "add strip");
    model.setImages({url});
    model.setBackground(model.pictures()->picture(url), url);
    model.addFrame();
    const PicturePtr background = model.background();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() > 0; }, 5000)) << "decoded on the pool";
    ASSERT_EQ(colorOf(background), QColor(Qt::red));
    const quint64 generation = background->generation();

    const auto exported = [&](const QString &name) {
        Exporter exporter(model.snapshot().detached(), dir.filePath("layout.lumora"));
        exporter.setPatternFrames(1);
        const ExportReport report = exporter.exportAll(*imagePattern, false);
        EXPECT_TRUE(report.ok()) << qPrintable(report.failures.join("; "));
        EXPECT_TRUE(QFile::rename(dir.filePath("image0.h"), dir.filePath(name + ".h")));
        return std::pair{testFileBytes(dir.filePath(name + ".h")), testFileBytes(dir.filePath("Image.ppm")).right(3)};
    };
    const auto [redHeader, redPixel] = exported("red");
    EXPECT_EQ(redPixel, QByteArray("\xFF\x00\x00", 3));

    QSignalSpy backgroundChanged(&model, &DocumentModel::backgroundChanged);
    QSignalSpy framesEdited(&model, &DocumentModel::framesEdited);
    QSignalSpy reloaded(model.pictures(), &PictureCache::reloaded);
    writePicture(file, Qt::blue, {20, 15});
    ASSERT_TRUE(reloaded.wait(5000)) << "the watcher saw the change";
    EXPECT_GE(backgroundChanged.count(), 1);
    EXPECT_GE(framesEdited.count(), 1) << "the timeline draws the frame again";
    EXPECT_EQ(model.background(), background) << "the same picture, with the new pixels";
    EXPECT_GT(background->generation(), generation);
    EXPECT_EQ(colorOf(model.background()), QColor(Qt::blue));
    EXPECT_EQ(QColor::fromRgba(model.bitmap()->pixel(0, 0)), QColor(Qt::blue));
    EXPECT_EQ(colorOf(model.frames().first()->image), QColor(Qt::blue));

    const auto [blueHeader, bluePixel] = exported("blue");
    EXPECT_EQ(bluePixel, QByteArray("\x00\x00\xFF", 3)) << "Image.ppm reads the new picture";
    EXPECT_TRUE(blueHeader.contains("0x00, 0x00, 0xFF")) << blueHeader.toStdString();
    EXPECT_NE(blueHeader, redHeader);

    // Rewritten again, and exported before any watcher could tell: the export looks itself.
    model.pictures()->setWatching(false);
    writePicture(file, Qt::green, {24, 18});
    const auto [greenHeader, greenPixel] = exported("green");
    EXPECT_EQ(greenPixel, QByteArray("\x00\xFF\x00", 3));
    EXPECT_TRUE(greenHeader.contains("0x00, 0xFF, 0x00")) << greenHeader.toStdString();
}
