#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

QString put(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
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
