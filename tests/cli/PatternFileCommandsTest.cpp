// Patterns users write, through lumora-cli: check-pattern and --pattern-file.
#include "CliTestSupport.h"

#include "../output/OutputTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumora::OutputProtocol;

namespace {

const QString heart = LUMORA_TEST_DATA "/../../examples/heart.lumora";
const QString spinwheel = LUMORA_TEST_DATA "/pattern-samples/Spinwheel_2D.js";

QString writePattern(const QTemporaryDir &dir, const QString &name, const QByteArray &source)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(source);
    return file.fileName();
}

QByteArray readPpmRows(const QString &fileName, int leds)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    EXPECT_EQ(file.readLine(), "P6\n");
    EXPECT_EQ(file.readLine().split(' ').value(0).toInt(), leds);
    file.readLine();
    return file.readAll();
}

} // namespace

TEST(CliCheckPattern, SilentForAGoodPatternEveryErrorForABadOne)
{
    QTemporaryDir dir;
    const CliRun good = runCli({"check-pattern", spinwheel});
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_TRUE(good.out.isEmpty() && good.err.isEmpty()) << good.err.constData();

    const QString bad = writePattern(dir, "bad.js", "x = 1\ny = nope + hsv(1)\nexport function render(i) {\n");
    const CliRun run = runCli({"check-pattern", bad});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, (bad + ":2:5: 'nope' is not defined\n" + bad + ":2:12: 'hsv' takes 3 arguments but 1 was given\n"
                        + bad + ":4:1: expected '}' but found end of file\n").toUtf8());
    EXPECT_EQ(runCli({"check-pattern", dir.filePath("missing.js")}).exitCode, 1);
}

TEST(CliPatternFile, ExportWritesReproducibleRowsThatPlaySendsUnchanged)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString doc = dir.filePath("heart.lumora");
    QFile::copy(heart, doc);
    QFile::copy(LUMORA_TEST_DATA "/../../examples/heart.png", dir.filePath("heart.png"));
    // Random numbers and state carried from frame to frame: the export must still repeat.
    const QString pattern = writePattern(dir, "sparks.js",
                                         "var t = 0\nexport function beforeRender(d) { t += d / 1000 }\n"
                                         "export function render2D(i, x, y) { hsv(x + t, 1, random(1) * y) }\n");
    const CliRun first = runCli({"export", doc, "--pattern-file", pattern, "--frames", "20"});
    ASSERT_EQ(first.exitCode, 0) << first.err.constData();
    EXPECT_TRUE(first.out.contains("sparks.ppm"));
    const CliRun inspect = runCli({"inspect", doc});
    const int leds = int(QJsonDocument::fromJson(inspect.out).object()["points"].toArray().size());
    ASSERT_GT(leds, 0);
    const QByteArray rows = readPpmRows(dir.filePath("sparks.ppm"), leds);
    ASSERT_EQ(rows.size(), 20 * 3 * leds);
    EXPECT_NE(rows.left(3 * leds), rows.mid(3 * leds, 3 * leds)) << "it animates";
    ASSERT_EQ(runCli({"export", doc, "--pattern-file", pattern, "--frames", "20"}).exitCode, 0);
    EXPECT_EQ(readPpmRows(dir.filePath("sparks.ppm"), leds), rows);

    LoopbackReceiver receiver;
    const CliRun play = runCli({"play", doc, "--to", QString("ddp://127.0.0.1:%1").arg(receiver.port()), "--pattern-file",
                                pattern, "--time-base", "export", "--count", "5", "--fps", "120"});
    ASSERT_EQ(play.exitCode, 0) << play.err.constData();
    const QList<QByteArray> frames = framesOf(receiver.receive(1000, [] { return true; }), OutputProtocol::Ddp, 0, 3 * leds);
    ASSERT_EQ(frames.size(), 6) << "five frames, then black";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(frames[i], rows.mid(i * 3 * leds, 3 * leds)) << "frame " << i;

    const CliRun power = runCli({"inspect", doc, "--pattern-file", pattern});
    ASSERT_EQ(power.exitCode, 0) << power.err.constData();
    const QJsonObject estimate = QJsonDocument::fromJson(power.out).object()["power"].toObject();
    EXPECT_EQ(estimate["pattern"].toString(), "sparks");
    EXPECT_GT(estimate["peakMilliamps"].toDouble(), leds * 1.0);
}

TEST(CliPatternFile, ErrorsStopTheCommandWithTheirPlace)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString doc = dir.filePath("heart.lumora");
    QFile::copy(heart, doc);
    const QString broken = writePattern(dir, "broken.js", "export function render(i) { hsv(i) }\n");
    const CliRun compile = runCli({"export", doc, "--pattern-file", broken, "--no-pattern"});
    EXPECT_EQ(compile.exitCode, 1);
    EXPECT_TRUE(compile.err.startsWith((broken + ":1:29: ").toUtf8())) << compile.err.constData();

    const QString failing = writePattern(dir, "failing.js", "a = array(2)\nexport function render(i) { rgb(a[i], 0, 0) }\n");
    const CliRun run = runCli({"export", doc, "--pattern-file", failing, "--frames", "3"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains((failing + ":2:33: index 2 is outside the array (length 2)").toUtf8())) << run.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("failing.ppm")));

    EXPECT_EQ(runCli({"export", doc, "--pattern", "Rings", "--pattern-file", failing}).exitCode, 2);
    LoopbackReceiver receiver;
    const CliRun play = runCli({"play", doc, "--to", QString("ddp://127.0.0.1:%1").arg(receiver.port()), "--pattern-file",
                                failing, "--seconds", "5"});
    EXPECT_EQ(play.exitCode, 1);
    EXPECT_TRUE(play.err.contains("failing.js:2:33:")) << play.err.constData();
}

TEST(CliPatternFile, SampleRendersFramesInOrderWithTheKeptControlValues)
{
    QTemporaryDir dir;
    // Frame i comes after i calls of beforeRender(200); the slider's value lives beside the file.
    const QString file = writePattern(dir, "p.js",
                                      "export var level = 0\nexport function sliderLevel(v) { level = v }\n"
                                      "export function beforeRender(delta) { t = t + delta }\n"
                                      "export function render2D(index, x, y) { rgb(x, t / 1000, level + y) }\n");
    writePattern(dir, "p.controls.json", R"({"sliderLevel": [0.25]})");
    const CliRun run = runCli({"sample", "--pattern-file", file}, "0.4 10 5 1\n0 0 0 0\nsoon 1 1 1\n0.2 0 0 0\n");
    EXPECT_EQ(run.exitCode, 2) << "a bad line";
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 4);
    const QList<QByteArray> far = lines[0].split(' ');
    ASSERT_EQ(far.size(), 3);
    EXPECT_NEAR(far[0].toDouble(), 1, 1e-4) << "the widest LED is just below 1 in world units";
    EXPECT_DOUBLE_EQ(far[1].toDouble(), 0.4);
    EXPECT_NEAR(far[2].toDouble(), 0.75, 1e-4);
    EXPECT_EQ(lines[1], "0 0 0.25");
    EXPECT_EQ(lines[2], "error");
    EXPECT_EQ(lines[3], "0 0.20000000000000001 0.25");
    EXPECT_TRUE(run.err.contains("line 3")) << run.err.constData();

    const QString failing = writePattern(dir, "f.js", "var a = array(1)\nexport function render(i) {\n  rgb(a[9], 0, 0)\n}\n");
    const CliRun stopped = runCli({"sample", "--pattern-file", failing}, "0 0 0 0\n");
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(stopped.err.startsWith((failing + ":3:").toUtf8())) << stopped.err.constData();
}
