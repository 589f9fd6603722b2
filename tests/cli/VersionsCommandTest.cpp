// lumora-cli versions: the versions the editor kept, listed and written out.
#include "CliTestSupport.h"

#include "document/DocumentVersions.h"

#include "../support/TestFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

TEST(CliVersions, ListsNewestFirstAndRestoresOneWithoutTouchingTheDocument)
{
    QTemporaryDir folder;
    const QString document = writeTestFile(folder.filePath("wall.lumora"), "Point points[0] =\n{\n};\n");
    const QByteArray opened = "Point points[1] =\n{\n1.000000,2.000000,\n};\n";
    const QByteArray saved = "Point points[2] =\n{\n1.000000,2.000000,\n3.000000,4.000000,\n};\n";
    DocumentVersions versions(document);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_TRUE(versions.add(opened, DocumentVersions::Kind::Opened, nullptr, now.addSecs(-120)));
    ASSERT_TRUE(versions.add(saved, DocumentVersions::Kind::Saved, nullptr, now.addSecs(-60)));

    const CliRun list = runCli({"versions", document});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QList<QByteArray> lines = list.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("1 ") && lines[0].endsWith("saved")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("2 ") && lines[1].endsWith("as opened")) << lines[1].toStdString();

    const QString out = folder.filePath("restored.lumora");
    const CliRun restore = runCli({"versions", document, "--restore", "2", "-o", out});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(testFileBytes(out), opened);
    EXPECT_EQ(testFileBytes(document), "Point points[0] =\n{\n};\n");

    const CliRun missing = runCli({"versions", document, "--restore", "3", "-o", out});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains("no version 3")) << missing.err.toStdString();
}
