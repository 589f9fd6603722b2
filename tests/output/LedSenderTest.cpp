#include "OutputTestSupport.h"

#include "output/FrameColors.h"
#include "output/LedSender.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray gradient(int leds)
{
    QByteArray frame(3 * leds, '\0');
    for (int i = 0; i < frame.size(); ++i)
        frame[i] = char(i % 251);
    return frame;
}

} // namespace

/// Each protocol over loopback: every packet of a 2,000-LED frame arrives and the frame
/// reads back as the settings prepared it.
TEST(LedSender, DeliversWholeFramesToALoopbackReceiver)
{
    for (OutputProtocol protocol : {OutputProtocol::Ddp, OutputProtocol::E131, OutputProtocol::ArtNet}) {
        SCOPED_TRACE(protocolName(protocol).toStdString());
        LoopbackReceiver receiver;
        OutputSettings settings;
        settings.protocol = protocol;
        settings.host = "127.0.0.1";
        settings.port = receiver.port();
        settings.universe = 3;
        settings.order = ColorOrder::BGR;
        settings.gamma = 2.0;
        LedSender sender;
        sender.setCid(QUuid::createUuid());
        sender.setSettings(settings);
        ASSERT_TRUE(sender.isReady());
        QSignalSpy sent(&sender, &LedSender::frameSent);

        const QByteArray frame = gradient(2000);
        sender.sendFrame(frame);
        sender.sendFrame(QByteArray(frame.size(), '\0'));
        const qsizetype perFrame = protocol == OutputProtocol::Ddp ? 5 : 12;
        const QList<QByteArray> frames = framesOf(receiver.receive(2 * perFrame), protocol, 3, frame.size());
        ASSERT_EQ(frames.size(), 2);
        EXPECT_EQ(frames[0], outputFrame(frame, settings));
        EXPECT_EQ(frames[1], QByteArray(frame.size(), '\0'));
        EXPECT_EQ(sender.framesSent(), 2u);
        EXPECT_EQ(sender.packetsSent(), quint64(2 * perFrame));
        ASSERT_EQ(sent.size(), 2);
        EXPECT_EQ(sent[1][0].toInt(), perFrame);
        EXPECT_DOUBLE_EQ(sent[1][1].toDouble(), 2000.0) << "dark LEDs draw their idle current";
    }
}

TEST(LedSender, SendsFromASourceUntilStopped)
{
    LoopbackReceiver receiver;
    OutputSettings settings;
    settings.host = "127.0.0.1";
    settings.port = receiver.port();
    settings.framesPerSecond = 240;
    LedSender sender;
    sender.setSettings(settings);
    int made = 0;
    sender.start([&] { return QByteArray(3, char(++made)); });
    EXPECT_TRUE(sender.isRunning());
    const QList<QByteArray> datagrams = receiver.receive(6);
    sender.stop();
    ASSERT_EQ(datagrams.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(datagrams[i].mid(10), QByteArray(3, char(i + 1))) << "frames go out in order";
    EXPECT_FALSE(sender.isRunning());
}

TEST(LedSender, DropsFramesWithoutADestination)
{
    ensureApplication();
    LedSender sender;
    QSignalSpy errors(&sender, &LedSender::errorOccurred);
    sender.setSettings(OutputSettings()); // DDP with no host
    EXPECT_FALSE(sender.isReady());
    ASSERT_EQ(errors.size(), 1);
    sender.sendFrame(QByteArray(3, '\x7F'));
    EXPECT_EQ(sender.framesSent(), 0u);
    EXPECT_EQ(sender.framesDropped(), 1u);
}
