#include "output/FrameColors.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

QByteArray leds(int count, int r, int g, int b)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += char(r);
        out += char(g);
        out += char(b);
    }
    return out;
}

int level(const QByteArray &bytes, int i)
{
    return static_cast<unsigned char>(bytes[i]);
}

} // namespace

TEST(FrameColors, ColorOrderPutsEachChannelWhereTheControllerWantsIt)
{
    const struct {
        const char *name;
        QByteArray expected;
    } cases[] = {{"RGB", "\x10\x20\x30"}, {"GRB", "\x20\x10\x30"}, {"BRG", "\x30\x10\x20"},
                 {"RBG", "\x10\x30\x20"}, {"GBR", "\x20\x30\x10"}, {"bgr", "\x30\x20\x10"}};
    for (const auto &c : cases) {
        const auto order = colorOrderFromName(c.name);
        ASSERT_TRUE(order) << c.name;
        OutputSettings settings;
        settings.order = *order;
        EXPECT_EQ(outputFrame(leds(2, 0x10, 0x20, 0x30), settings), c.expected + c.expected) << c.name;
    }
    EXPECT_FALSE(colorOrderFromName("RGBW"));
}

TEST(FrameColors, BrightnessAndGammaShapeTheLevels)
{
    const auto identity = levelTable(100, 1.0);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(identity[i], i);
    EXPECT_EQ(levelTable(50, 1.0)[255], 128);
    EXPECT_EQ(levelTable(0, 1.0)[255], 0);
    const auto gamma = levelTable(100, 2.2);
    EXPECT_EQ(gamma[0], 0);
    EXPECT_EQ(gamma[255], 255);
    EXPECT_EQ(gamma[128], std::lround(255 * std::pow(128 / 255.0, 2.2)));
    for (int i = 1; i < 256; ++i)
        ASSERT_GE(gamma[i], gamma[i - 1]);

    OutputSettings settings;
    settings.brightness = 50;
    settings.gamma = 2.0;
    EXPECT_EQ(level(outputFrame(leds(1, 255, 128, 0), settings), 1), std::lround(255 * std::pow(128 / 255.0, 2) / 2));
}

TEST(FrameColors, CurrentLimitScalesFramesDownToTheLimit)
{
    const PowerModel model; // 20 mA per channel, 1 mA idle
    EXPECT_DOUBLE_EQ(frameMilliamps(leds(10, 255, 255, 255), model), 610);
    EXPECT_DOUBLE_EQ(frameMilliamps(leds(10, 0, 0, 0), model), 10);

    QByteArray white = leds(10, 255, 255, 255);
    limitCurrent(white, 310, model);
    EXPECT_LE(frameMilliamps(white, model), 310);
    EXPECT_GT(frameMilliamps(white, model), 305);
    EXPECT_EQ(white, leds(10, 127, 127, 127)); // equal channels stay equal

    QByteArray colour = leds(4, 200, 100, 0);
    limitCurrent(colour, 4 + 0.5 * (frameMilliamps(colour, model) - 4), model);
    EXPECT_EQ(colour, leds(4, 100, 50, 0)); // the hue is kept

    QByteArray within = leds(3, 1, 2, 3);
    limitCurrent(within, 1000, model);
    EXPECT_EQ(within, leds(3, 1, 2, 3));
    limitCurrent(within, 0, model);
    EXPECT_EQ(within, leds(3, 1, 2, 3)) << "0 means no limit";
    QByteArray belowIdle = leds(3, 9, 9, 9);
    limitCurrent(belowIdle, 2, model);
    EXPECT_EQ(belowIdle, leds(3, 0, 0, 0));
}

TEST(FrameColors, OutputFrameLimitsAfterTheLevelsAndReportsTheCurrent)
{
    OutputSettings settings;
    settings.brightness = 50;
    settings.limitMilliamps = 100;
    settings.order = ColorOrder::GRB;
    double milliamps = 0;
    const QByteArray out = outputFrame(leds(5, 255, 0, 0), settings, &milliamps);
    // Half brightness draws 5 + 5 · 20 · 128/255 ≈ 55 mA: within the limit, so not scaled.
    EXPECT_EQ(out, leds(5, 0, 128, 0));
    EXPECT_DOUBLE_EQ(milliamps, 5 + 5 * 20 * 128 / 255.0);
}

TEST(FrameColors, PowerEstimateFindsPeakAndMean)
{
    const QByteArray frames = leds(2, 0, 0, 0) + leds(2, 255, 255, 255) + leds(2, 255, 0, 0);
    const PowerEstimate e = estimatePower(frames, 2, PowerModel());
    EXPECT_DOUBLE_EQ(e.peakMilliamps, 122);
    EXPECT_EQ(e.peakFrame, 1);
    EXPECT_DOUBLE_EQ(e.meanMilliamps, (2 + 122 + 42) / 3.0);
    EXPECT_NEAR(e.supplyWatts(), 0.61, 1e-12);
    EXPECT_EQ(estimatePower({}, 0, PowerModel()).peakMilliamps, 0);
}
