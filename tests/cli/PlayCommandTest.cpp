#include "CliTestSupport.h"

#include "../output/OutputTestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lumora::OutputProtocol;

namespace {

const QString heart = LUMORA_TEST_DATA "/../../examples/heart.lumora";

/// The pattern PPM of the export: its LED count and its rows.
struct Ppm {
    int leds = 0;
    QList<QByteArray> rows;
};

Ppm exportedRows(const QTemporaryDir &dir, const QString &pattern)
{
    const QString doc = dir.filePath("heart.lumora");
    QFile::copy(heart, doc);
    QFile::copy(LUMORA_TEST_DATA "/../../examples/heart.png", dir.filePath("heart.png"));
    const CliRun run = runCli({"export", doc, "--pattern", pattern});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    QFile file(dir.filePath(pattern + ".ppm"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> header = file.readLine().trimmed() == "P6" ? file.readLine().split(' ') : QList<QByteArray>();
    file.readLine(); // 255
    Ppm ppm;
    ppm.leds = header.value(0).toInt();
    while (!file.atEnd())
        ppm.rows.append(file.read(3 * ppm.leds));
    return ppm;
}

QString target(OutputProtocol protocol, quint16 port)
{
    const char *scheme[] = {"ddp", "e131", "artnet"};
    return QString("%1://127.0.0.1:%2%3").arg(scheme[int(protocol)]).arg(port)
        .arg(protocol == OutputProtocol::Ddp ? "" : "?universe=4");
}

} // namespace

TEST(CliPlay, ExportTimeBaseSendsThePpmRowsInEveryProtocol)
{
    ensureApplication();
    QTemporaryDir dir;
    const Ppm ppm = exportedRows(dir, "Rings");
    ASSERT_EQ(ppm.rows.size(), 3000);
    for (OutputProtocol protocol : {OutputProtocol::Ddp, OutputProtocol::E131, OutputProtocol::ArtNet}) {
        LoopbackReceiver receiver;
        const CliRun run = runCli({"play", dir.filePath("heart.lumora"), "--to", target(protocol, receiver.port()),
                                   "--pattern", "Rings", "--time-base", "export", "--count", "10", "--fps", "120"});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const int universe = protocol == OutputProtocol::Ddp ? 0 : 4;
        const QList<QByteArray> frames = framesOf(receiver.receive(1000, [] { return true; }), protocol, universe,
                                                  3 * ppm.leds);
        ASSERT_EQ(frames.size(), 11) << "ten frames, then black";
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(frames[i], ppm.rows[i]) << "frame " << i;
        EXPECT_EQ(frames[10], QByteArray(3 * ppm.leds, '\0'));
        EXPECT_TRUE(run.out.startsWith("sent 10 frames")) << run.out.constData();
    }
}

TEST(CliPlay, KeepLeavesTheLastFrameAndOptionsShapeIt)
{
    ensureApplication();
    QTemporaryDir dir;
    const Ppm ppm = exportedRows(dir, "Rings");
    LoopbackReceiver receiver;
    const CliRun run = runCli({"play", dir.filePath("heart.lumora"), "--to", target(OutputProtocol::Ddp, receiver.port()),
                               "--pattern", "Rings", "--time-base", "export", "--count", "3", "--keep",
                               "--order", "BGR", "--brightness", "50", "--fps", "120"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> frames = framesOf(receiver.receive(1000, [] { return true; }), OutputProtocol::Ddp, 0,
                                              3 * ppm.leds);
    ASSERT_EQ(frames.size(), 3);
    const QByteArray &sent = frames[2], &row = ppm.rows[2];
    for (int i = 0; i + 2 < row.size(); i += 3)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(static_cast<unsigned char>(sent[i + c]),
                      (static_cast<unsigned char>(row[i + 2 - c]) * 50 + 50) / 100) << i;
}

TEST(CliPlay, TerminatingSendsBlackOnceAndEndsCleanly)
{
    ensureApplication();
    LoopbackReceiver receiver;
    QProcess play;
    play.start(LUMORA_CLI, {"play", heart, "--to", target(OutputProtocol::Ddp, receiver.port()), "--pattern", "Rings"});
    if (receiver.receive(3).isEmpty()) {
        play.kill();
        play.waitForFinished();
        FAIL() << "no frames arrived: " << play.readAllStandardError().constData();
    }
    play.terminate();
    ASSERT_TRUE(play.waitForFinished(30000));
    EXPECT_EQ(play.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(play.exitCode(), 0) << play.readAllStandardError().constData();
    const QList<QByteArray> rest = receiver.receive(100000, [] { return true; });
    ASSERT_FALSE(rest.isEmpty());
    EXPECT_EQ(rest.last().mid(10), QByteArray(rest.last().size() - 10, '\0'));
    EXPECT_TRUE(play.readAllStandardOutput().contains("then black"));
}

TEST(CliPlay, HelpListsEveryProtocolsTargetAsItAlwaysHas)
{
    // Built from the protocol table and wrapped; the manual page is made from this text.
    const CliRun run = runCli({"play", "--help"});
    EXPECT_TRUE(run.out.contains(
        "then sends black once unless\n"
        "--keep. Targets: ddp://HOST[:PORT][?offset=B], e131://HOST[:PORT][?universe=U] (no host:\n"
        "multicast to 239.255.hi.lo), artnet://HOST[:PORT][?universe=U].\n"))
        << run.out.constData();
}

TEST(CliPlay, RefusesBadOptionsInOneLine)
{
    const QStringList bad[] = {
        {"--to", "udp://127.0.0.1"}, {}, {"--to", "ddp://127.0.0.1", "--order", "RGBW"},
        {"--to", "ddp://127.0.0.1", "--brightness", "101"}, {"--to", "ddp://127.0.0.1", "--gamma", "0.5"},
        {"--to", "ddp://127.0.0.1", "--fps", "0"}, {"--to", "ddp://127.0.0.1", "--time-base", "wall"},
        {"--to", "ddp://127.0.0.1", "--pattern", "NoSuchPattern"}, {"--to", "ddp://127.0.0.1", "--count", "-1"},
        {"--to", "ddp://127.0.0.1", "--seconds", "soon"},
    };
    for (const QStringList &options : bad) {
        const CliRun run = runCli(QStringList{"play", heart} + options);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(options.join(' '));
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }
}

TEST(CliPlay, FramesPlayTheAnimationAsItsExportColoursIt)
{
    ensureApplication();
    LoopbackReceiver receiver;
    const CliRun run = runCli({"play", LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora", "--to",
                               target(OutputProtocol::Ddp, receiver.port()), "--frames", "--count", "3", "--keep"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> frames = framesOf(receiver.receive(3), OutputProtocol::Ddp, 0, 6);
    // Frame 1 lights LED 0 red; frame 2 lights LED 1 with a picture that is missing, so black;
    // then the animation starts over.
    EXPECT_EQ(frames, (QList<QByteArray>{QByteArray("\xFF\0\0\0\0\0", 6), QByteArray(6, '\0'),
                                         QByteArray("\xFF\0\0\0\0\0", 6)}));
    EXPECT_EQ(runCli({"play", heart, "--to", "ddp://127.0.0.1", "--frames"}).exitCode, 1) << "no frames to play";
}

TEST(CliInspect, PowerIsThePeakOfTheExportedFrames)
{
    QTemporaryDir dir;
    const Ppm ppm = exportedRows(dir, "Rings");
    double peak = 0, sum = 0;
    for (const QByteArray &row : ppm.rows) {
        int levels = 0;
        for (char byte : row)
            levels += static_cast<unsigned char>(byte);
        const double current = ppm.leds + levels * (20 / 255.0);
        peak = std::max(peak, current);
        sum += current;
    }
    const CliRun run = runCli({"inspect", dir.filePath("heart.lumora"), "--power", "Rings"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject power = QJsonDocument::fromJson(run.out).object()["power"].toObject();
    EXPECT_EQ(power["frames"].toInt(), 3000);
    EXPECT_NEAR(power["peakMilliamps"].toDouble(), peak, 1e-6);
    EXPECT_NEAR(power["meanMilliamps"].toDouble(), sum / 3000, 1e-6);
    EXPECT_NEAR(power["supplyWatts"].toDouble(), 5 * peak / 1000, 1e-9);
    EXPECT_EQ(runCli({"inspect", dir.filePath("heart.lumora"), "--power", "NoSuchPattern"}).exitCode, 2);
}
