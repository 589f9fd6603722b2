#include "CliTestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString heart = QString(LUMORA_TEST_DATA) + "/../../examples/heart.lumora";

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &text)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return f.fileName();
}

} // namespace

TEST(ExportCodeCommand, WritesTheSketchAndPrintsItsBudget)
{
    if (QStandardPaths::findExecutable("avr-g++").isEmpty())
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    QTemporaryDir dir;
    const QString sample = QString(LUMORA_TEST_DATA) + "/pattern-samples/Spinwheel_2D.js";
    const CliRun run = runCli({"export-code", heart, "--pattern-file", sample, "--target", "avr", "-o", dir.filePath("x")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Arduino Uno: ")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(" of 32 KB flash, ")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("frames/s at 48 LEDs\n")) << run.out.toStdString();
    for (const char *file : {"x/x.ino", "x/lumora.h", "x/lumora_leds.h", "x/lumora_pattern.h", "x/lumora_runtime.h",
                             "x/lumora_settings.h"})
        EXPECT_TRUE(QFile::exists(dir.filePath(file))) << file;
}

TEST(ExportCodeCommand, WritesABuiltInPattern)
{
    QTemporaryDir dir;
    const CliRun run = runCli({"export-code", heart, "--pattern", "Rings", "--target", "host", "-o", dir.filePath("r")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("r/Rings.h")));
    EXPECT_TRUE(QFile::exists(dir.filePath("r/host_main.cpp")));
}

TEST(ExportCodeCommand, FailuresExitNonZeroAndWriteNothing)
{
    QTemporaryDir dir;
    const QString bad = writeFile(dir, "bad.js", "var f = (v) => v\nexport function render(i) { hsv(f(i), 1, 1) }");
    const QString good = writeFile(dir, "good.js", "export function render(i) { hsv(i / 10, 1, 1) }");
    const CliRun refused = runCli({"export-code", heart, "--pattern-file", bad, "-o", dir.filePath("a")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.startsWith((bad + ":1:9: ").toUtf8())) << refused.err.toStdString();
    EXPECT_FALSE(QDir(dir.filePath("a")).exists());

    EXPECT_EQ(runCli({"export-code", heart, "--pattern-file", good, "--target", "z80", "-o", dir.filePath("b")}).exitCode, 2);
    EXPECT_EQ(runCli({"export-code", heart, "--pattern-file", good}).exitCode, 2);
    const CliRun image = runCli({"export-code", heart, "--pattern", "Image", "-o", dir.filePath("c")});
    EXPECT_EQ(image.exitCode, 1);
    EXPECT_TRUE(image.err.contains("picture")) << image.err.toStdString();
    EXPECT_FALSE(QDir(dir.filePath("b")).exists());
    EXPECT_FALSE(QDir(dir.filePath("c")).exists());
}
