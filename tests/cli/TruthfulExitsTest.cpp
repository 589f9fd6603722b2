#include "CliTestSupport.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString example = LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora";

/// lumora-cli with fsync and fdatasync (or close) failing as a network file system's do, or
/// with every datagram refused ("send").
QStringList failing(const char *what)
{
    return {QString("LD_PRELOAD=%1").arg(LUMORA_FAILING_SYNC), QString("LUMORA_FAIL=%1").arg(what)};
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

// A deferred write error (a failed fdatasync or close) was reported as success and the
// unconfirmed file renamed over the old one.
TEST(CliTruthfulWrites, ResaveFailsWhenTheWriteCannotBeConfirmed)
{
    for (const char *what : {"sync", "close"}) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        const QString out = writeTestFile(dir.filePath("out.lumora"), "old bytes\n");
        const CliRun run = runCli({"resave", example, out}, {}, failing(what));
        EXPECT_EQ(run.exitCode, 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains("Input/output error")) << run.err.constData();
        EXPECT_EQ(testFileBytes(out), "old bytes\n");
        EXPECT_EQ(filesIn(dir.path()), QStringList{"out.lumora"}) << "no temporary file stays";
    }
    QTemporaryDir dir;
    EXPECT_EQ(runCli({"resave", example, dir.filePath("out.lumora")}).exitCode, 0);
}

// An export that fails part-way says which of its files are new and which are old.
TEST(CliTruthfulWrites, AFailedExportNamesNewAndOldFiles)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("wall.lumora");
    ASSERT_TRUE(QFile::copy(example, doc));
    writeTestFile(dir.filePath("cases.h"), "old");
    const CliRun run = runCli({"export", doc, "--pattern", "Rings", "--frames", "2"}, {}, failing("sync"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("the export failed part-way; new: none; old, not replaced: ")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("cases.h")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("not written: Rings.ppm")) << run.err.constData();
    EXPECT_EQ(testFileBytes(dir.filePath("cases.h")), "old");
}

// Reading /dev/zero ran the editor out of memory, and a FIFO blocked it for ever.
TEST(CliBoundedInputs, DevicesAndFifosAreRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("map.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    for (const QString &input : {QString("/dev/zero"), fifo}) {
        SCOPED_TRACE(qPrintable(input));
        const CliRun run = runCli({"import", input, "-o", dir.filePath("out.lumora")});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(input == fifo ? "it is a FIFO" : "it is a device")) << run.err.constData();
    }
    const CliRun sample = runCli({"sample", "--image", fifo}, "Rings 0 0 0 0\n");
    EXPECT_EQ(sample.exitCode, 1);
    EXPECT_TRUE(sample.err.contains("it is a FIFO")) << sample.err.constData();
    EXPECT_LT(clock.elapsed(), 20000) << "nothing waited for a writer";
    EXPECT_FALSE(QFile::exists(dir.filePath("out.lumora")));
}

// Every frame failing to send ended with exit 0 and "sent 0 frames".
TEST(CliTruthfulExits, PlayFailsWhenNoFrameCouldBeSent)
{
    const CliRun run = runCli({"play", example, "--to", "ddp://127.0.0.1", "--count", "3", "--fps", "60"}, {},
                              failing("send"));
    EXPECT_EQ(run.exitCode, 1) << run.out.constData();
    EXPECT_TRUE(run.err.contains("no frame could be sent to ddp://127.0.0.1: cannot send")) << run.err.constData();
    EXPECT_TRUE(run.out.contains("sent 0 frames")) << run.out.constData();
}
