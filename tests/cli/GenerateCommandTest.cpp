// lumora-cli generate, read back with lumora-cli inspect.
#include "CliTestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointF>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QPointF pointAt(const QJsonArray &list, qsizetype i)
{
    const QJsonArray p = list[i].toArray();
    return QPointF(p[0].toDouble(), p[1].toDouble());
}

/// Generates into a fresh folder and returns what inspect reads back.
QJsonObject generated(const QTemporaryDir &dir, const QStringList &arguments)
{
    const QString doc = dir.filePath("out.lumora");
    const CliRun run = runCli(QStringList{"generate"} + arguments + QStringList{"-o", doc, "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const CliRun inspect = runCli({"inspect", doc});
    EXPECT_EQ(inspect.exitCode, 0) << inspect.err.constData();
    // The generated grid's positions table once read as "not a picture name", line by line.
    EXPECT_TRUE(inspect.err.isEmpty()) << inspect.err.constData();
    return QJsonDocument::fromJson(inspect.out).object();
}

} // namespace

TEST(GenerateCommand, SerpentineMatrixStartsInItsCornerOnAGridOfItsSpacing)
{
    QTemporaryDir dir;
    const QJsonObject doc = generated(dir, {"matrix", "4", "3", "--spacing", "20", "--serpentine", "--start", "bottom-right"});
    const QJsonArray points = doc["points"].toArray();
    ASSERT_EQ(points.size(), 12);
    // Centred on (512, 384): columns at 482 … 542, rows at 364 … 404 (y up).
    EXPECT_EQ(pointAt(points, 0), QPointF(542, 364));
    EXPECT_EQ(pointAt(points, 3), QPointF(482, 364));
    EXPECT_EQ(pointAt(points, 4), QPointF(482, 384)); // turned back at the row end
    EXPECT_EQ(pointAt(points, 11), QPointF(482, 404)); // the third row runs back again
    const QJsonArray grid = doc["grid"].toArray();
    ASSERT_EQ(grid.size(), 3);
    EXPECT_EQ(pointAt(grid, 1) - pointAt(grid, 0), QPointF(20, 0));
    EXPECT_EQ(pointAt(grid, 2) - pointAt(grid, 0), QPointF(0, 20));
}

TEST(GenerateCommand, StripsAndRingsGetTheirLedsAndAFittedGrid)
{
    QTemporaryDir dir;
    const QJsonObject strip = generated(dir, {"strip", "5", "100,200", "500,200"});
    const QJsonArray leds = strip["points"].toArray();
    ASSERT_EQ(leds.size(), 5);
    EXPECT_EQ(pointAt(leds, 1), QPointF(200, 200));
    EXPECT_EQ(strip["grid"].toArray().size(), 3);

    const QJsonObject ring = generated(dir, {"ring", "8", "512,384", "100", "--start-angle", "90", "--clockwise"});
    const QJsonArray round = ring["points"].toArray();
    ASSERT_EQ(round.size(), 8);
    EXPECT_NEAR(pointAt(round, 0).y(), 484, 1e-9);
    EXPECT_GT(pointAt(round, 1).x(), 512); // clockwise from the top goes right
}

TEST(GenerateCommand, RefusesBadArgumentsAndAnExistingDocument)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("out.lumora");
    struct Case {
        QStringList arguments;
        int exitCode;
    };
    const Case bad[] = {
        {{"matrix", "0", "4"}, 2},
        {{"matrix", "4", "4", "--start", "middle"}, 2},
        {{"strip", "5", "1,2"}, 2},
        {{"ring", "5", "1,2", "-3"}, 2}, // an option to the parser; "--" comes first
        {{"ring", "5", "1,2", "0"}, 2},
        {{"ring", "5", "1,2", "30", "--serpentine"}, 2},
        {{"spiral", "5"}, 2},
    };
    for (const Case &c : bad) {
        const CliRun run = runCli(QStringList{"generate"} + c.arguments + QStringList{"-o", doc});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_FALSE(QFile::exists(doc));
    }
    ASSERT_EQ(runCli({"generate", "strip", "3", "0,0", "10,0", "-o", doc}).exitCode, 0);
    const CliRun again = runCli({"generate", "strip", "4", "0,0", "10,0", "-o", doc});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("--force"));
}
