#include "document/DocumentWriter.h"
#include "exports/Exporter.h"
#include "document/Leftovers.h"
#include "common/SaveFile.h"

#include "patterns/framework/ColorPattern.h"
#include "tests/support/FullFileSystem.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace lumora;

namespace {

LayoutSnapshot layoutOf(int leds)
{
    LayoutSnapshot layout;
    for (int i = 0; i < leds; ++i)
        layout.leds.append(QPointF(i % 1000, i / 1000));
    return layout;
}

/// The files of a folder other than the filler, so that a leftover temporary file shows.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

class ShortWrites : public ::testing::Test {
protected:
    void TearDown() override { SaveFile::setWriteLimitForTesting(-1); }
};

class Plain : public ColorPattern {
    LUMORA_PATTERN(Plain)
public:
    Color color(const Position &) const override { return Color(1, 0.5, 0); }
};

} // namespace

// The first fault of the issue: QSaveFile buffers up to 16 KB and then renames an empty
// file over the old one. Small and large documents must both fail with the real reason.
TEST(SaveFile, FullDiskFailsWithTheReasonAndKeepsTheOldFile)
{
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    const QString file = disk.path("heart.lumora");
    const QByteArray old = writeDocument(layoutOf(3));
    writeTestFile(file, old);
    disk.fill();
    for (int leds : {2, 100, 5000}) {
        SCOPED_TRACE(leds);
        QString error;
        EXPECT_FALSE(writeDocumentFile(layoutOf(leds), file, &error));
        EXPECT_TRUE(error.contains("No space left on device")) << qPrintable(error);
        EXPECT_TRUE(error.contains(file)) << qPrintable(error);
        EXPECT_EQ(testFileBytes(file), old);
        EXPECT_EQ(filesIn(disk.path(".")), QStringList{"heart.lumora"});
    }
}

TEST(SaveFile, StreamedWritesCommitOnlyWhenAllArrived)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("out.bin");
    writeTestFile(file, "old");
    {
        SaveFile save(file);
        ASSERT_TRUE(save.open());
        EXPECT_TRUE(save.write("abc"));
        EXPECT_TRUE(save.write(QByteArray(100000, 'z')));
        // Destroyed without commit: an interrupted export leaves the old file.
    }
    EXPECT_EQ(testFileBytes(file), "old");
    SaveFile save(file);
    ASSERT_TRUE(save.open());
    EXPECT_TRUE(save.write("new"));
    EXPECT_TRUE(save.commit());
    EXPECT_EQ(testFileBytes(file), "new");
    EXPECT_EQ(filesIn(dir.path()), QStringList{"out.bin"});
}

TEST_F(ShortWrites, DocumentWriterReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("doc.lumora");
    writeTestFile(file, "old");
    SaveFile::setWriteLimitForTesting(10);
    QString error;
    EXPECT_FALSE(writeDocumentFile(layoutOf(4), file, &error));
    EXPECT_TRUE(error.contains("No space left on device")) << qPrintable(error);
    EXPECT_EQ(testFileBytes(file), "old");
    EXPECT_EQ(filesIn(dir.path()), QStringList{"doc.lumora"});
}

// Every file of every export goes through the same checked write: each one short-written
// is reported as a failure, none as written, and every old file keeps its bytes.
TEST_F(ShortWrites, EveryExportFileReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGBA8888);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(dir.filePath("wall.png")));
    LayoutSnapshot layout = layoutOf(3);
    layout.images = {QUrl::fromLocalFile(dir.filePath("wall.png"))};
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true, false, true}, nullptr, {}));
    const QStringList names{"Plain.ppm", "image0.h", "images.h", "cases.h", "frame000.ppm", "frame001.ppm", "doc.png"};
    for (const QString &name : names)
        writeTestFile(dir.filePath(name), "old");

    SaveFile::setWriteLimitForTesting(5);
    Exporter exporter(layout, dir.filePath("doc.lumora"));
    Plain pattern;
    ExportReport report = exporter.exportAll(pattern, false);
    report.merge(exporter.exportAll(pattern, true));
    report.merge(exporter.exportTemplate());
    EXPECT_TRUE(report.written.isEmpty()) << qPrintable(report.written.join(", "));
    // Pattern PPM twice, image0.h, images.h and cases.h twice, both frame PPMs, the template.
    EXPECT_EQ(report.failures.size(), 11) << qPrintable(report.failures.join("\n"));
    for (const QString &failure : report.failures)
        EXPECT_TRUE(failure.contains("No space left on device")) << qPrintable(failure);
    for (const QString &name : names)
        EXPECT_EQ(testFileBytes(dir.filePath(name)), "old") << qPrintable(name);

    SaveFile::setWriteLimitForTesting(-1);
    EXPECT_TRUE(exporter.exportAll(pattern, true).ok());
    EXPECT_EQ(testFileBytes(dir.filePath("frame001.ppm")).size(), 11 + 9);
}

TEST(SaveFile, FullDiskFailsEveryExportFile)
{
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    LayoutSnapshot layout = layoutOf(2);
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true, true}, nullptr, {}));
    writeTestFile(disk.path("cases.h"), "old");
    disk.fill();
    Exporter exporter(layout, disk.path("doc.lumora"));
    Plain pattern;
    ExportReport report = exporter.exportAll(pattern, true);
    report.merge(exporter.exportTemplate());
    EXPECT_TRUE(report.written.isEmpty()) << qPrintable(report.written.join(", "));
    EXPECT_EQ(report.failures.size(), 6) << qPrintable(report.failures.join("\n"));
    EXPECT_EQ(testFileBytes(disk.path("cases.h")), "old");
}

// SaveFile replaced QSaveFile, which renamed without checking fdatasync: what QSaveFile did
// for callers must stay. The replaced file keeps its permissions, a link keeps pointing at
// the file it names, and a save killed while writing leaves the old file and a temporary
// file by the name the leftover search knows, on every file system, which it removes once
// it is clearly abandoned.
TEST(SaveFile, KeepsPermissionsAndLinksAndAKilledSaveLeavesANamedLeftover)
{
    QTemporaryDir dir;
    const QString target = writeTestFile(dir.filePath("real.lumora"), "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString link = dir.filePath("link.lumora");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(saveFile(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(testFileBytes(target), "new");
    EXPECT_EQ(QFile::permissions(target) & 0x0fff, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);

    const QByteArray old = writeDocument(layoutOf(1));
    const QString doc = writeTestFile(dir.filePath("doc.lumora"), old);
    const pid_t child = fork();
    if (child == 0) {
        SaveFile save(doc);
        const bool written = save.open() && save.write(writeDocument(layoutOf(10000)));
        _exit(written ? 0 : 1); // killed before the commit: no destructor, no rename
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(testFileBytes(doc), old);
    const QStringList left = QDir(dir.path()).entryList({"doc.lumora.??????"}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(left.size(), 1);
    {
        QFile file(dir.filePath(left[0]));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-(incompleteGraceSeconds + 5)),
                                     QFileDevice::FileModificationTime));
    }
    EXPECT_FALSE(findLeftover(doc));
    EXPECT_FALSE(QFile::exists(dir.filePath(left[0])));
}
