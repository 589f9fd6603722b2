#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/Leftovers.h"
#include "tests/support/TestFiles.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

QString put(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    return writeTestFile(dir.filePath(name), bytes);
}

} // namespace

// Files that are not layouts once opened as empty layouts (the next save overwrote them),
// and a FIFO or /dev/zero hung the reader or ran it out of memory.
TEST(DocumentFile, RefusesWhatIsNotALayoutWithTheReason)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.lumora");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = dir.filePath("huge.lumora");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(maxDocumentBytes + 1)); // sparse: costs no disk
    }
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {dir.path(), "folder"},
        {fifo, "FIFO"},
        {"/dev/zero", "device"},
        {huge, "512 MB"},
        {put(dir, "README.lumora", "# Notes\n\nPoints go left to right, 1,2, then 3,4.\n"), "not a layout"},
        {put(dir, "nul.lumora", QByteArray(1000, '\0')), "not a layout"},
        {dir.filePath("missing.lumora"), "No such file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.path));
        Model model;
        const ReadResult result = readDocumentFile(c.path, model);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(c.reason)) << qPrintable(result.error);
        EXPECT_TRUE(model.points.isEmpty());
    }
}

TEST(DocumentFile, AcceptsTheEmptyDocumentAndAnyTableKeepingTheReadersTolerance)
{
    QTemporaryDir dir;
    const struct {
        QByteArray bytes;
        int points;
        int grid;
    } cases[] = {
        {"", 0, 0},
        {"\n", 0, 0},
        {"\nPoint grid[3] =\n{\n1,1,\n2,1,\n1,2,\n};\n", 0, 3},
        // Bad lines inside a layout are still skipped, not refused.
        {"Point points[9] =\n{\n1,2,\nrubbish\n  \nabc,def,\n};\n", 2, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.constData());
        Model model;
        const ReadResult result = readDocumentFile(put(dir, "doc.lumora", c.bytes), model);
        EXPECT_TRUE(result.ok) << qPrintable(result.error);
        EXPECT_EQ(model.points.size(), c.points);
        EXPECT_EQ(model.grid.size(), c.grid);
    }
}

// A kill just before the rename left a complete "doc.lumora.XXXXXX" with the newer work,
// never offered nor cleaned up; SaveFile names its temporary file so on every file system.
TEST(DocumentFile, FindsACompleteNewerLeftoverOfAnInterruptedSave)
{
    QTemporaryDir dir;
    const QString doc = put(dir, "doc.lumora", "Point points[1] =\n{\n1.000000,1.000000,\n};\n");
    const QByteArray newer = "Point points[2] =\n{\n1.000000,1.000000,\n2.000000,2.000000,\n};\n";
    const auto age = [&](const QString &path, int seconds) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
    };
    age(doc, -100);
    // Not offered: older than the document, cut short, not a layout, or not QSaveFile's name.
    age(put(dir, "doc.lumora.Old123", newer), -200);
    put(dir, "doc.lumora.Cut456", newer.left(30));
    put(dir, "doc.lumora.Txt789", "hello\n};\n");
    put(dir, "doc.lumora.bak", newer);
    put(dir, "doc.lumora.Longer7", newer);
    // A save killed while writing left a file cut short: once older than a save can take,
    // it is removed; a young one may be a save under way and stays.
    const QString killed = put(dir, "doc.lumora.Kil123", newer.left(20));
    age(killed, -(incompleteGraceSeconds + 5));
    EXPECT_FALSE(findLeftover(doc));
    EXPECT_FALSE(QFile::exists(killed));
    EXPECT_TRUE(QFile::exists(dir.filePath("doc.lumora.Cut456")));

    const QString good = put(dir, "doc.lumora.aB3xY9", newer);
    const auto leftover = findLeftover(doc);
    ASSERT_TRUE(leftover);
    EXPECT_EQ(leftover->fileName, good);
    Model model;
    ASSERT_TRUE(readDocumentFile(leftover->fileName, model).ok);
    EXPECT_EQ(model.points.size(), 2);

    EXPECT_TRUE(removeLeftover(*leftover));
    EXPECT_FALSE(QFile::exists(good));
    EXPECT_FALSE(findLeftover(doc));
    // With the document itself gone, a leftover is all there is.
    put(dir, "doc.lumora.Zz0000", newer);
    QFile::remove(doc);
    EXPECT_TRUE(findLeftover(doc));
}
