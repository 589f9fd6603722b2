#include "CliTestSupport.h"

#include "tests/support/FullFileSystem.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString example = LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora";

QString copyInto(const QTemporaryDir &dir, const QString &source, const QString &name)
{
    const QString target = dir.filePath(name);
    QFile::copy(source, target);
    return target;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CliInspect, PrintsTheModelAsJson)
{
    const CliRun run = runCli({"inspect", example});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["points"].toArray().size(), 2);
    EXPECT_EQ(json["points"][1][0].toDouble(), 150.5);
    EXPECT_EQ(json["grid"].toArray().size(), 3);
    EXPECT_EQ(json["filenames"][0].toString(), "file:///images/wall.jpg");
    const QJsonArray frames = json["tracks"][0]["frames"].toArray();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0]["selection"].toArray(), (QJsonArray{true, false}));
    EXPECT_TRUE(frames[0]["url"].isNull());
    EXPECT_EQ(frames[1]["url"].toString(), "file:///images/frame2.png");
}

TEST(CliInspect, RefusesWhatIsNotADocument)
{
    QTemporaryDir dir;
    QFile bad(dir.filePath("bad.lumora"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("1,2,\n\xC3\x28\n");
    bad.close();
    for (const QString &path : {dir.filePath("bad.lumora"), dir.filePath("missing.lumora"), dir.path()}) {
        const CliRun run = runCli({"inspect", path});
        EXPECT_NE(run.exitCode, 0) << qPrintable(path);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }
    EXPECT_TRUE(runCli({"inspect", dir.filePath("bad.lumora")}).err.contains("not a valid document (not UTF-8)"));
    EXPECT_NE(runCli({"resave", dir.filePath("bad.lumora"), dir.filePath("out.lumora")}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.lumora")));
}

TEST(CliResave, WritesTheSameBytesForACanonicalFile)
{
    QTemporaryDir dir;
    const CliRun run = runCli({"resave", example, dir.filePath("out.lumora")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(contents(dir.filePath("out.lumora")), contents(example));
}

TEST(CliExport, WritesIntoTheDocumentFolderAndListsTheFiles)
{
    QTemporaryDir dir;
    const QString doc = copyInto(dir, example, "wall.lumora");
    CliRun run = runCli({"export", doc, "--animation", "--pattern", "QuasiCrystal"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QStringList written = QString(run.out).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(written.first(), dir.filePath("QuasiCrystal.ppm"));
    EXPECT_TRUE(written.contains(dir.filePath("frame001.ppm")));
    EXPECT_TRUE(written.contains(dir.filePath("image1.h")));

    // --fast changes only patterns with a vector path; the others keep their exact bytes.
    const QByteArray exact = contents(dir.filePath("QuasiCrystal.ppm"));
    run = runCli({"export", doc, "--fast", "--pattern", "QuasiCrystal"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(contents(dir.filePath("QuasiCrystal.ppm")), exact);
    run = runCli({"export", doc, "--fast", "--pattern", "Oil"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(contents(dir.filePath("Oil.ppm")).size(), exact.size());

    run = runCli({"export", doc, "--pattern", "NoSuchPattern"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("NoSuchPattern"));

    run = runCli({"template", doc});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out.trimmed(), dir.filePath("wall.png").toUtf8());
}

// Without --pattern the export renders the editor's current pattern and says which it used.
TEST(CliExport, RendersTheEditorsCurrentPatternUnlessNamed)
{
    QTemporaryDir dir;
    const QString doc = copyInto(dir, example, "wall.lumora");
    {
        QSettings editor("Lumora", "lumora");
        editor.setValue("patternName", "Oil");
    }
    CliRun run = runCli({"export", doc, "--frames", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(QFile::exists(dir.filePath("Oil.ppm")));
    EXPECT_TRUE(run.err.contains("pattern Oil (the editor's current pattern)")) << run.err.constData();

    QSettings("Lumora", "lumora").setValue("patternName", "Gone");
    run = runCli({"export", doc, "--frames", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains("(the first by name; choose one with --pattern)")) << run.err.constData();

    run = runCli({"export", doc, "--frames", "2", "--pattern", "QuasiCrystal"});
    EXPECT_FALSE(run.err.contains("pattern")) << "a named pattern needs no note";
    QSettings("Lumora", "lumora").remove("patternName");
}

// A full disk: resave and export say why on stderr, exit non-zero and keep the old files.
TEST(CliFullDisk, ResaveAndExportFailWithTheReason)
{
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    const QString doc = disk.path("doc.lumora");
    ASSERT_TRUE(QFile::copy(example, doc));
    const QByteArray old = contents(doc);
    disk.fill();

    const CliRun resave = runCli({"resave", doc, doc});
    EXPECT_EQ(resave.exitCode, 1);
    EXPECT_TRUE(resave.err.contains("No space left on device")) << resave.err.constData();
    EXPECT_EQ(contents(doc), old);

    const CliRun exported = runCli({"export", doc});
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_TRUE(exported.out.isEmpty()) << "nothing may be listed as written: " << exported.out.constData();
    EXPECT_TRUE(exported.err.contains("No space left on device")) << exported.err.constData();
}
