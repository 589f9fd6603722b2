#include "CliTestSupport.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Two layouts sharing a folder, each exported into a folder of its own, keep their headers.
TEST(CliExport, OutputDirKeepsTheLayoutsOfOneFolderApart)
{
    QTemporaryDir dir;
    const QString wall = writeTestFile(dir.filePath("wall.lumora"),
                                       testFileBytes(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora"));
    const QString hall = writeTestFile(dir.filePath("hall.lumora"),
                                       testFileBytes(LUMORA_TEST_DATA "/documents/points-and-filenames.lumora"));
    for (const QString &doc : {wall, hall}) {
        const QString out = dir.filePath(QFileInfo(doc).completeBaseName() + "-export");
        const CliRun run = runCli({"export", doc, "--no-pattern", "--output-dir", out});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QStringList written = QString(run.out).split('\n', Qt::SkipEmptyParts);
        EXPECT_TRUE(written.contains(QDir(out).filePath("image0.h"))) << run.out.constData();
        for (const QString &file : written)
            EXPECT_TRUE(file.startsWith(out + '/')) << qPrintable(file);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("images.h")));
    EXPECT_FALSE(QFile::exists(dir.filePath("cases.h")));
    EXPECT_NE(testFileBytes(dir.filePath("wall-export/image0.h")), testFileBytes(dir.filePath("hall-export/image0.h")));

    // A folder that cannot be made is refused, with the reason, before anything is written.
    writeTestFile(dir.filePath("not-a-folder"), "x");
    const CliRun refused = runCli({"export", wall, "--no-pattern", "--output-dir", dir.filePath("not-a-folder")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("not-a-folder")) << refused.err.constData();
}
