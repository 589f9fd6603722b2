#include "CliTestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString example = LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return dir.filePath(name);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CliExportMap, WritesTheFormatAndFailsWhenLedsWouldBeLost)
{
    QTemporaryDir dir;
    CliRun run = runCli({"export-map", example, "--format", "wled", "-o", dir.filePath("ledmap.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(QJsonDocument::fromJson(contents(dir.filePath("ledmap.json"))).object()["n"].toString(),
              "two-leds-grid-image-track");

    // Two LEDs on one place: the cell formats cannot hold both; the file is written without one.
    const QString stacked = writeFile(dir, "stacked.lumora", "Point points[3] =\n{\n100,300,\n100,300,\n200,300,\n};\n");
    run = runCli({"export-map", stacked, "--format", "xmodel", "-o", dir.filePath("stacked.xmodel")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("share cell")) << run.err.constData();
    EXPECT_TRUE(QFile::exists(dir.filePath("stacked.xmodel")));
    EXPECT_EQ(runCli({"export-map", stacked, "--format", "csv", "-o", dir.filePath("stacked.csv")}).exitCode, 0);

    // A cluster 2 units apart in a wide layout needs 251 × 176 cells: more than the default
    // limit, written with a larger one, never for an AVR.
    QByteArray dense = "Point points[13] =\n{\n100,100,\n600,100,\n100,450,\n600,450,\n";
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            dense += QByteArray::number(350 + 2 * i) + "," + QByteArray::number(276 + 2 * j) + ",\n";
    const QString denseDoc = writeFile(dir, "dense.lumora", dense + "};\n");
    run = runCli({"export-map", denseDoc, "--format", "wled", "-o", dir.filePath("dense.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("251 × 176 lattice, 44176 cells, more than the 16384 allowed")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("dense.json")));
    run = runCli({"export-map", denseDoc, "--format", "wled", "-o", dir.filePath("dense.json"), "--max-cells", "50000"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    run = runCli({"export-map", denseDoc, "--format", "fastled", "-o", dir.filePath("dense.h"), "--max-cells", "50000"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("more than an AVR holds in one array (32 KiB)")) << run.err.constData();
    EXPECT_EQ(runCli({"export-map", denseDoc, "--format", "wled", "-o", dir.filePath("x"), "--max-cells", "0"}).exitCode, 2);

    EXPECT_EQ(runCli({"export-map", example, "--format", "dmx", "-o", dir.filePath("x")}).exitCode, 2);
    EXPECT_EQ(runCli({"export-map", example, "--format", "csv"}).exitCode, 2);
}

TEST(CliImport, MakesADocumentAndRefusesBadInput)
{
    QTemporaryDir dir;
    const QString csv = writeFile(dir, "leds.csv", "index,x,y\n1,300,400\n0,100,200\n");
    CliRun run = runCli({"import", csv, "-o", dir.filePath("leds.lumora")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(contents(dir.filePath("leds.lumora")), "Point points[2] =\n{\n100.000000,200.000000,\n300.000000,400.000000,\n};\n");
    EXPECT_EQ(runCli({"import", csv, "-o", dir.filePath("leds.lumora")}).exitCode, 1) << "an existing document is kept";
    EXPECT_EQ(runCli({"import", csv, "-o", dir.filePath("leds.lumora"), "--force", "--flip-y"}).exitCode, 0);
    EXPECT_TRUE(contents(dir.filePath("leds.lumora")).contains("100.000000,568.000000,"));

    // Cells come with a grid of one step per cell.
    const QString wled = writeFile(dir, "ledmap.json", "{\"width\":2,\"height\":2,\"map\":[0,1,-1,2]}");
    ASSERT_EQ(runCli({"import", wled, "-o", dir.filePath("wled.lumora")}).exitCode, 0);
    EXPECT_TRUE(contents(dir.filePath("wled.lumora")).contains("Point positions[3] =\n{\n0,2,\n2,2,\n2,0,\n};"));

    const QString bad = writeFile(dir, "bad.csv", "index,x,y\n0,1,2\n1,2\n");
    run = runCli({"import", bad, "-o", dir.filePath("bad.lumora")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("bad.csv: line 3")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("bad.lumora")));
    EXPECT_NE(runCli({"import", dir.filePath("missing.csv"), "-o", dir.filePath("m.lumora")}).exitCode, 0);
}

TEST(CliExport, HeaderStyleNoPatternAndFrames)
{
    QTemporaryDir dir;
    QFile::copy(example, dir.filePath("wall.lumora"));
    CliRun run = runCli({"export", dir.filePath("wall.lumora"), "--animation", "--no-pattern", "--header-style", "modern"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out.count(".ppm"), 1) << "only the frames' PPM";
    EXPECT_TRUE(contents(dir.filePath("image0.h")).contains("const uint8_t image0[] PROGMEM = {\n"));
    EXPECT_TRUE(contents(dir.filePath("images.h")).contains("#define NUM_LEDS 2\n#define IMAGE_COUNT 2\n"));

    run = runCli({"export", dir.filePath("wall.lumora"), "--animation", "--frames", "7", "--pattern", "QuasiCrystal"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(contents(dir.filePath("QuasiCrystal.ppm")).startsWith("P6\n2 7\n255\n"));
    EXPECT_TRUE(contents(dir.filePath("image0.h")).contains("const uint8_t image0[] PROGMEM = {\n")) << "modern by default";

    run = runCli({"export", dir.filePath("wall.lumora"), "--animation", "--no-pattern", "--header-style", "classic"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(contents(dir.filePath("image0.h")).startsWith("prog_uchar image0[] PROGMEM =\n{\n"));
    EXPECT_EQ(runCli({"export", dir.filePath("wall.lumora"), "--header-style", "fancy"}).exitCode, 2);
    EXPECT_EQ(runCli({"export", dir.filePath("wall.lumora"), "--frames", "0"}).exitCode, 2);
}

TEST(CliImport, KeepsTheLedNumbersOfAWledMapAndExportsItBack)
{
    // 4 × 2, wired from the top left, serpentine, LEDs 4 and 5 unused between the rows.
    QTemporaryDir dir;
    const QByteArray map = "{\"n\":\"wall\",\"width\":4,\"height\":2,\"map\":[0,1,2,3,9,8,7,6]}\n";
    const QString file = writeFile(dir, "ledmap.json", map);
    CliRun run = runCli({"import", file, "-o", dir.filePath("wall.lumora")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("10 LEDs")) << run.out.constData();
    EXPECT_TRUE(run.err.contains("filled: LEDs 4–5, between LEDs 3 and 6")) << run.err.constData();
    run = runCli({"export-map", dir.filePath("wall.lumora"), "--format", "wled", "-o", dir.filePath("back.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(contents(dir.filePath("back.json")), map);

    run = runCli({"import", file, "-o", dir.filePath("closed.lumora"), "--no-fill"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("8 LEDs")) << run.out.constData();
    EXPECT_TRUE(run.err.contains("move up to close it")) << run.err.constData();

    run = runCli({"export-map", dir.filePath("wall.lumora"), "--format", "wled-gaps", "-o", dir.filePath("gaps.json")});
    EXPECT_EQ(run.exitCode, 1) << "WLED's wiring would number LEDs 4 and 5 in the second row";
    EXPECT_TRUE(run.err.contains("2 LEDs lie on the wiring between cells")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("gaps.json")));
    run = runCli({"export-map", dir.filePath("closed.lumora"), "--format", "wled-gaps", "-o", dir.filePath("gaps.json")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains("set WLED's 2D panel to: top-left, horizontal, serpentine (4 × 2)")) << run.err.constData();
}
