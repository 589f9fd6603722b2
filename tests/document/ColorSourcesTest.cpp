// The colour sources agree with the exports they stand in for, to the byte, and read their
// inputs from the frame context only.
#include "animation/AnimationEditor.h"
#include "colors/FrameContext.h"
#include "colors/FramesColorSource.h"
#include "colors/MarkingColorSource.h"
#include "colors/PatternColorSource.h"
#include "colors/PatternRender.h"
#include "colors/PictureColorSource.h"
#include "colors/PreviewClock.h"
#include "colors/UserPatternColorSource.h"
#include "exports/Exporter.h"

#include "patterns/catalogue/Catalogue.h"
#include "patterns/framework/ColorPattern.h"
#include "pictures/ImageBitmap.h"

#include "tests/patterns/PatternTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

using patterntest::pattern;

FrameContext context(const QList<QPointF> &leds, double T = 0)
{
    FrameContext c;
    c.time = T;
    c.leds = leds;
    for (const QPointF &led : leds)
        c.grid.append(QPointF(led.x() / 40 - 12, led.y() / 40 - 9));
    return c;
}

QList<QPointF> spreadLeds(int count)
{
    QList<QPointF> leds;
    for (int k = 0; k < count; ++k)
        leds.append(QPointF(std::fmod(k * 97.3, 1024.0), std::fmod(k * 41.7, 768.0)));
    return leds;
}

std::shared_ptr<const QImage> solid(QColor color, int side = 16)
{
    QImage image(side, side, QImage::Format_RGBA8888);
    image.fill(color);
    return std::make_shared<const QImage>(image);
}

QByteArray rgb(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

} // namespace

TEST(ColorSources, PatternFrameIsTheExportsRowAtTheSameTime)
{
    const FrameContext c = context(spreadLeds(300));
    for (const char *name : {"Floating", "Rings", "Walker"}) {
        QByteArray animation;
        ASSERT_TRUE(renderPatternAnimation(animation, c.grid, pattern(name), 8, 1));
        for (int i : {0, 7}) {
            FrameContext at = c;
            at.time = 0.2 * i;
            PatternColorSource exact(pattern(name), false, 2);
            EXPECT_EQ(exact.bytes(at), animation.mid(i * 900, 900)) << name << " frame " << i;
        }
    }
}

TEST(ColorSources, ImagePatternSamplesTheContextsPictureNotTheProcessWideOne)
{
    FrameContext c = context({{512, 384}, {100, 700}});
    c.pixels = FrameContext::pixelSource(solid(Qt::red), QRectF(-20, -20, 40, 40));
    PixelPattern::setBitmap(std::make_shared<ImageBitmap>(*solid(Qt::blue)));
    PixelPattern::setBoundingBox({-20, -20, 40, 40});
    PatternColorSource image(pattern("Image"), false, 2);
    EXPECT_EQ(image.bytes(c), rgb({255, 0, 0, 255, 0, 0}));
    PixelPattern::setBitmap(nullptr);
}

TEST(ColorSources, PictureColoursUnderTheLedsAsTheFrameExportSamplesThem)
{
    // 2048 × 1536 fits the layout space at half size: the centre LED reads the middle
    // pixel, the top-left corner pixel (0, 0), the bottom-right corner lies outside.
    QImage picture(2048, 1536, QImage::Format_RGBA8888);
    picture.fill(Qt::transparent);
    picture.setPixelColor(1024, 768, QColor(10, 20, 30));
    picture.setPixelColor(0, 0, QColor(200, 100, 0, 128));
    FrameContext c = context({{512, 384}, {0, 768}, {1024, 0}});
    c.picture = std::make_shared<const QImage>(picture);
    PictureColorSource source;
    // The half-transparent pixel is premultiplied, as the exports write it.
    EXPECT_EQ(source.bytes(c), rgb({10, 20, 30, 100, 50, 0, 0, 0, 0}));
    c.picture.reset();
    EXPECT_EQ(source.bytes(c), QByteArray(9, '\0'));
}

TEST(ColorSources, MarkingIsRedAndAShortMarkingLeavesTheRestDark)
{
    FrameContext c = context(spreadLeds(3));
    c.marking = {false, true};
    EXPECT_EQ(MarkingColorSource().bytes(c), rgb({0, 0, 0, 255, 0, 0, 0, 0, 0}));
}

TEST(ColorSources, FramesGoRoundTheTrackAsTheFrameExportColoursThem)
{
    FrameContext c = context(spreadLeds(3));
    c.animation = std::make_shared<AnimationEditor>();
    c.animation->track().frames = {AnimationFrame::newWithSelection({true, false, true}, nullptr, {}),
                                   AnimationFrame::newWithSelection({false, true}, Picture::fromImage(*solid(Qt::green)), {})};
    FramesColorSource frames;
    ASSERT_EQ(FramesColorSource::frameCount(c), 2);
    const QByteArray first = rgb({255, 0, 0, 0, 0, 0, 255, 0, 0});
    EXPECT_EQ(frames.bytes(c), first);
    c.frame = 1;
    EXPECT_EQ(frames.bytes(c), rgb({0, 0, 0, 0, 255, 0, 0, 0, 0}));
    c.frame = 2;
    EXPECT_EQ(frames.bytes(c), first);
    c.animation = std::make_shared<AnimationEditor>();
    EXPECT_EQ(frames.bytes(c), QByteArray(9, '\0'));
}

TEST(ColorSources, UserPatternRunsLikeItsExportAndStartsAfreshOnNewLeds)
{
    QStringList errors;
    const auto user = UserPattern::compile("export function render2D(index, x, y) { hsv(x + time(0.01), 1, y) }",
                                           "wave.js", errors);
    ASSERT_TRUE(user) << errors.join("\n").toStdString();
    const QList<QPointF> leds = spreadLeds(50);
    const auto render = [&](const QList<QPointF> &on) {
        QByteArray animation;
        EXPECT_TRUE(renderUserPatternAnimation([&](const char *d, qsizetype n) { animation.append(d, n); return true; },
                                               on, *user, 3));
        return animation;
    };
    const QByteArray animation = render(leds);
    UserPatternColorSource source(*user);
    FrameContext c = context(leds);
    QByteArray played;
    for (int i = 0; i < 3; ++i) {
        c.deltaMs = i == 0 ? 0 : 200;
        played += source.bytes(c);
    }
    EXPECT_EQ(played, animation);
    // Other LEDs: a fresh run over them, frame 0 again.
    c.leds = leds.mid(0, 10);
    c.deltaMs = 0;
    EXPECT_EQ(source.bytes(c), render(c.leds).left(30));
    EXPECT_TRUE(source.error().isEmpty());
}

TEST(ColorSources, AFixedPreviewClockAnswersItsTime)
{
    PreviewClock clock;
    EXPECT_NEAR(clock.time(), PreviewClock::now(), 30);
    clock.setFixedTime(1234.5);
    EXPECT_EQ(clock.time(), 1234.5);
}
