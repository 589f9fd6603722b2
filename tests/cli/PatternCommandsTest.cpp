#include "CliTestSupport.h"

#include <cmath>

#include <gtest/gtest.h>

TEST(CliPatterns, ListsEveryPatternWithItsParameters)
{
    const CliRun run = runCli({"patterns"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_FALSE(lines.isEmpty());
    QByteArray previous;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        ASSERT_EQ(fields.size(), 5) << line.constData();
        EXPECT_LT(previous, fields[0]) << "names in ascending order";
        previous = fields[0];
    }
}

TEST(CliSample, AnswersGoodLinesAndFlagsBadOnesButGoesOn)
{
    const CliRun run = runCli({"sample"}, "AcidTrip 0 0 0 0\n"
                                          "NoSuchPattern 0 0 0 0\n"
                                          "AcidTrip 1 2\n"
                                          "AcidTrip 0 3 4 1\n");
    EXPECT_EQ(run.exitCode, 2);
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "1 1 1"); // cos(0) in every channel
    EXPECT_EQ(lines[1], "error");
    EXPECT_EQ(lines[2], "error");
    // k = 15 at t = 0: cos(15·cos 0), cos(0), cos(0)
    EXPECT_EQ(lines[3], QByteArray::number(std::cos(15.0), 'g', 17) + " 1 1");
    EXPECT_TRUE(run.err.contains("line 2")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("line 3")) << run.err.constData();
}

TEST(CliSample, CleanRunExitsZero)
{
    const CliRun run = runCli({"sample"}, "QuasiCrystal 0.5 1 2 3\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out.count('\n'), 1);
}

TEST(CliSample, UnreadablePictureIsAnError)
{
    const CliRun run = runCli({"sample", "--image", "/nonexistent/picture.png", "--box", "0,0,1,1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("picture")) << run.err.constData();
}
