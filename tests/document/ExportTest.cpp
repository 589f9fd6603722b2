#include "common/ColorBytes.h"
#include "exports/Exporter.h"
#include "colors/PatternRender.h"

#include "pictures/ImageBitmap.h"

#include "patterns/catalogue/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString savePicture(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

/// A pattern that answers its inputs, to see what the renderer hands over.
class EchoPattern : public ColorPattern {
public:
    Color color(const Position &p) const override { return Color(p.x, p.y, p.index / 255.0); }
};

} // namespace

TEST(ColorBytes, EncodersTruncatePremultipliedChannels)
{
    QByteArray text, bytes;
    appendColor(text, PixelColor{1, 0, 0, 1});
    appendColor(text, PixelColor{1, 1, 1, 0.5});       // half-transparent white
    appendColor(text, PixelColor{0.2, 0.9, 0.4, 0});   // transparent: black whatever its colour
    appendColor(text, std::nullopt);
    EXPECT_EQ(text, "0xFF, 0x00, 0x00,\n0x7F, 0x7F, 0x7F,\n0x00, 0x00, 0x00,\n0x00, 0x00, 0x00,\n");
    for (int v = 0; v < 256; ++v)
        appendPixel(bytes, PixelColor{v / 255.0, v / 255.0, v / 255.0, 1});
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(uchar(bytes[3 * v]), v) << "an opaque 8-bit value comes out as itself";
}

TEST(ColorBytes, SamplingFitsThePictureIntoTheLayout)
{
    QImage wide(2048, 768, QImage::Format_RGBA8888);
    wide.fill(Qt::black);
    wide.setPixelColor(1024, 384, QColor(10, 20, 30));
    wide.setPixelColor(0, 384, QColor(40, 50, 60));
    auto centre = samplePicture(wide, {512, 384});
    ASSERT_TRUE(centre);
    EXPECT_EQ(qRound(centre->red * 255), 10);
    auto left = samplePicture(wide, {0, 384});
    ASSERT_TRUE(left);
    EXPECT_EQ(qRound(left->blue * 255), 60);

    QImage tall(2048, 1536, QImage::Format_RGBA8888);
    tall.fill(Qt::white);
    EXPECT_TRUE(samplePicture(tall, {0, 768}));     // pixel (0, 0)
    EXPECT_FALSE(samplePicture(tall, {1024, 0}));   // pixel (2048, 1536) lies outside
    EXPECT_FALSE(samplePicture(tall, {1e300, 0}));  // and so does anything absurd

    // Greyscale and indexed pictures give their grey or palette colour.
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(77);
    const auto g = samplePicture(sampleableImage(grey), {512, 384});
    ASSERT_TRUE(g);
    EXPECT_EQ(qRound(g->green * 255), 77);
    EXPECT_EQ(qRound(g->red * 255), 77);
}

TEST(PatternRender, FramesFollowTheTimeBaseAndMatchSerialOrder)
{
    EchoPattern pattern; // s0 0.1, s1 0.05, r1 2π, speed 0.02
    const QList<QPointF> grid = {{10, -4}, {1, 1}, {0, 0}};
    QByteArray serial, parallel;
    ASSERT_TRUE(renderPatternAnimation(serial, grid, pattern, 3000, 1));
    ASSERT_TRUE(renderPatternAnimation(parallel, grid, pattern, 3000, 4));
    EXPECT_EQ(serial.size(), 3000 * 3 * 3);
    EXPECT_EQ(serial, parallel);
    // Frame 0: scale 0.1, no turn, so (10, −4) is sampled at (1, −0.4): limited to (1, 0).
    EXPECT_EQ(uchar(serial[0]), 255);
    EXPECT_EQ(uchar(serial[1]), 0);
    EXPECT_EQ(uchar(serial[3 + 2]), 1); // LED 1 has index 1
}

TEST(PatternRender, TheImagePatternReadsTheRendersOwnPictureWhateverIsPublished)
{
    const PatternRegistry patterns = builtInPatterns();
    const ColorPattern *image = patterns.named("Image");
    ASSERT_NE(image, nullptr);
    auto solid = [](QColor color, int width = 16) {
        QImage picture(width, 12, QImage::Format_RGB32);
        picture.fill(color);
        return std::make_shared<ImageBitmap>(picture);
    };
    const QList<QPointF> grid{{0, 0}, {3, 1}, {5, 4}, {9, 7}};
    const PixelSource own{solid(Qt::red), {0, 0, 10, 8}};

    // Published by the frontmost window: the same picture, then another one.
    PixelPattern::setBitmap(own.bitmap);
    PixelPattern::setBoundingBox(own.box);
    QByteArray published;
    ASSERT_TRUE(renderPatternAnimation(published, grid, *image, 20));
    PixelPattern::setBitmap(solid(Qt::blue, 20));
    PixelPattern::setBoundingBox({2, 2, 3, 3});
    QByteArray scoped;
    ASSERT_TRUE(renderPatternAnimation(scoped, grid, *image, 20, 0, nullptr, &own));
    EXPECT_EQ(scoped, published);
    EXPECT_EQ(PixelPattern::bitmap()->width(), 20); // the published picture is left alone
    PixelPattern::setBitmap(nullptr);
}

TEST(PatternRender, CancelledRenderLeavesTheBufferAlone)
{
    EchoPattern pattern;
    RenderControl control;
    control.cancelled = true;
    QByteArray out = "keep";
    EXPECT_FALSE(renderPatternAnimation(out, {{1, 1}}, pattern, 3000, 2, &control));
    EXPECT_EQ(out, "keep");
}

TEST(Exporter, TwoLedsTwoPictures)
{
    QTemporaryDir dir;
    QImage redPicture(8, 6, QImage::Format_RGBA8888);
    redPicture.fill(QColor(255, 0, 0));
    QImage halfBlue(8, 6, QImage::Format_RGBA8888);
    halfBlue.fill(QColor(0, 0, 255, 127));
    LayoutSnapshot layout;
    layout.leds = {{512, 384}, {5000, 5000}}; // the second lies outside every picture
    layout.images = {QUrl::fromLocalFile(savePicture(dir, "red.png", redPicture)),
                     QUrl::fromLocalFile(savePicture(dir, "blue.png", halfBlue))};
    Exporter exporter(layout, dir.filePath("layout.lumora"));
    exporter.setHeaderStyle(HeaderStyle::Classic);
    const ExportReport report = exporter.exportImages();
    EXPECT_TRUE(report.ok());
    EXPECT_EQ(report.written.size(), 5);

    EXPECT_EQ(contents(dir.filePath("image1.h")),
              "prog_uchar image1[] PROGMEM =\n{\n0x00, 0x00, 0x7F,\n0x00, 0x00, 0x00,\n};\n");
    EXPECT_EQ(contents(dir.filePath("images.h")), "#include \"image0.h\"\n#include \"image1.h\"\n");
    EXPECT_EQ(contents(dir.filePath("cases.h")),
              "  case 0:\n    {\n      show(image0, sizeof(image0));\n\n      break;\n    }\n\n"
              "  case 1:\n    {\n      show(image1, sizeof(image1));\n\n      break;\n    }\n\n");
    EXPECT_EQ(contents(dir.filePath("frame000.ppm")),
              QByteArray("P6\n2 2\n255\n\xFF\0\0\0\0\0\0\0\x7F\0\0\0", 23));
}

TEST(Exporter, AnimationFramesAndUnreadablePictures)
{
    QTemporaryDir dir;
    QImage green(4, 3, QImage::Format_RGBA8888);
    green.fill(QColor(0, 200, 0));
    LayoutSnapshot layout;
    layout.leds = {{512, 384}, {600, 384}};
    auto &frames = layout.animationEditor->track().frames;
    frames.append(AnimationFrame::newWithSelection({true, false}, nullptr, {}));
    const QUrl greenUrl = QUrl::fromLocalFile(savePicture(dir, "g.png", green));
    frames.append(AnimationFrame::newWithSelection({false, true}, Picture::fromUrl(greenUrl), greenUrl));
    frames.append(AnimationFrame::newWithSelection({true}, nullptr, {})); // shorter than the LEDs
    layout.images = {QUrl::fromLocalFile(dir.filePath("missing.png"))};

    Exporter exporter(layout, dir.filePath("layout.lumora"));
    exporter.setHeaderStyle(HeaderStyle::Classic);
    EXPECT_TRUE(exporter.exportAnimation().ok());
    EXPECT_EQ(contents(dir.filePath("image0.h")),
              "prog_uchar image0[] PROGMEM =\n{\n0xFF, 0x00, 0x00,\n0x00, 0x00, 0x00,\n};\n");
    EXPECT_TRUE(contents(dir.filePath("image1.h")).contains("0x00, 0x00, 0x00,\n0x00, 0xC8, 0x00,\n"));
    EXPECT_TRUE(contents(dir.filePath("image2.h")).endsWith("0xFF, 0x00, 0x00,\n0x00, 0x00, 0x00,\n};\n"));
    EXPECT_TRUE(contents(dir.filePath("frame001.ppm")).startsWith("P6\n2 3\n255\n"));

    // A picture that cannot be read exports black, and the user is told.
    const ExportReport images = exporter.exportImages();
    EXPECT_TRUE(images.ok());
    EXPECT_EQ(images.warnings.size(), 1);
    EXPECT_TRUE(contents(dir.filePath("image0.h")).contains("0x00, 0x00, 0x00,\n0x00, 0x00, 0x00,\n"));
}

TEST(Exporter, NoLedsAndNothingToExport)
{
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGBA8888);
    picture.fill(Qt::white);
    LayoutSnapshot layout;
    layout.images = {QUrl::fromLocalFile(savePicture(dir, "p.png", picture))};
    Exporter exporter(layout, dir.filePath("x.lumora"));
    exporter.setHeaderStyle(HeaderStyle::Classic);
    EXPECT_TRUE(exporter.exportImages().ok());
    EXPECT_EQ(contents(dir.filePath("image0.h")), "prog_uchar image0[] PROGMEM =\n{\n};\n");
    EXPECT_EQ(contents(dir.filePath("frame000.ppm")), "P6\n0 1\n255\n");
    // No frames: nothing at all.
    EXPECT_TRUE(exporter.exportAnimation().written.isEmpty());
}

TEST(Exporter, PatternPpmHas3000RowsAndWriteFailuresAreReported)
{
    QTemporaryDir dir;
    LayoutSnapshot layout;
    layout.leds = {{1, 1}, {2, 2}};
    EchoPattern pattern;
    Exporter exporter(layout, dir.filePath("a.lumora"));
    const ExportReport report = exporter.exportAnimationPattern(pattern);
    ASSERT_TRUE(report.ok());
    const QByteArray ppm = contents(report.written.value(0));
    EXPECT_TRUE(ppm.startsWith("P6\n2 3000\n255\n"));
    EXPECT_EQ(ppm.size(), 14 + 3000 * 2 * 3);

    // A folder where a file should go cannot be written; the other files still are.
    QDir(dir.path()).mkdir("cases.h");
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true}, nullptr, {}));
    const ExportReport animation = Exporter(layout, dir.filePath("a.lumora")).exportAnimation();
    EXPECT_FALSE(animation.ok());
    ASSERT_EQ(animation.failures.size(), 1);
    EXPECT_TRUE(animation.failures[0].contains("cases.h"));
    EXPECT_EQ(animation.written.size(), 3);
}

TEST(Exporter, TemplateHasAMagentaDiscPerLedWithYUp)
{
    const QImage image = Exporter::templateImage({{100, 100}, {1000, 700}});
    EXPECT_EQ(image.size(), QSize(1024, 768));
    EXPECT_EQ(image.pixelColor(100, 768 - 100), QColor(255, 0, 255));
    EXPECT_EQ(image.pixelColor(1000, 68), QColor(255, 0, 255));
    EXPECT_EQ(image.pixelColor(100, 100).alpha(), 0);
    EXPECT_EQ(image.pixelColor(115, 668).alpha(), 0); // outside the radius of 10
}

TEST(Exporter, TheTemplateNeverOverwritesAPictureOrAFileItDidNotWrite)
{
    QTemporaryDir dir;
    QImage artwork(40, 30, QImage::Format_RGB32);
    artwork.fill(Qt::darkRed);
    savePicture(dir, "heart.png", artwork);
    const QByteArray before = contents(dir.filePath("heart.png"));
    LayoutSnapshot layout;
    layout.leds = {{100, 100}};
    layout.images = {QUrl("heart.png")}; // relative to the document, as the example stores it
    Exporter exporter(layout, dir.filePath("heart.lumora"));

    const ExportReport first = exporter.exportTemplate();
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(contents(dir.filePath("heart.png")), before);
    EXPECT_EQ(QFileInfo(first.written.value(0)).fileName(), "heart-template.png");
    ASSERT_EQ(first.warnings.size(), 1);
    EXPECT_TRUE(Exporter::isTemplateFile(dir.filePath("heart-template.png")));
    // The next export recognises its own file and writes over it.
    EXPECT_EQ(QFileInfo(exporter.exportTemplate().written.value(0)).fileName(), "heart-template.png");

    // A file the layout does not use but that is no template of ours is left alone too.
    LayoutSnapshot other;
    savePicture(dir, "notes.png", artwork);
    const ExportReport second = Exporter(other, dir.filePath("notes.lumora")).exportTemplate();
    EXPECT_EQ(QFileInfo(second.written.value(0)).fileName(), "notes-template.png");
    // With the name free, the template takes it.
    EXPECT_EQ(QFileInfo(Exporter(other, dir.filePath("fresh.lumora")).exportTemplate().written.value(0)).fileName(),
              "fresh.png");
}

TEST(Exporter, RelativePictureNamesAreFoundBesideTheDocument)
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGBA8888);
    picture.fill(QColor(0, 0, 9));
    savePicture(dir, "beside.png", picture);
    LayoutSnapshot layout;
    layout.leds = {{512, 384}};
    layout.images = {QUrl("beside.png")};
    const ExportReport report = Exporter(layout, dir.filePath("doc.lumora")).exportImages();
    EXPECT_TRUE(report.warnings.isEmpty()) << qPrintable(report.warnings.join('\n'));
    EXPECT_TRUE(contents(dir.filePath("image0.h")).contains("0x00, 0x00, 0x09,"));
}

TEST(LayoutSnapshot, DetachedCopiesTheFramesButSharesPictures)
{
    LayoutSnapshot layout;
    layout.leds = {{1, 2}};
    const PicturePtr picture = Picture::fromImage(QImage(2, 2, QImage::Format_RGBA8888));
    layout.animationEditor->addFrame(AnimationFrame::newWithSelection({true}, picture, {}));
    const LayoutSnapshot copy = layout.detached();
    layout.animationEditor->track().frames[0]->selection[0] = false;
    layout.animationEditor->track().frames.append(std::make_shared<AnimationFrame>());
    ASSERT_EQ(copy.animationEditor->track().frames.size(), 1);
    EXPECT_TRUE(copy.animationEditor->track().frames[0]->selection[0]);
    EXPECT_EQ(copy.animationEditor->track().frames[0]->image, picture);
    EXPECT_EQ(copy.animationEditor->selectedFrame(), 0);
}

TEST(Exporter, SaysWhenTheColourArraysOutgrowAnAvrsFlash)
{
    QTemporaryDir dir;
    LayoutSnapshot layout;
    for (int i = 0; i < 3000; ++i)
        layout.leds.append(QPointF(i % 1000, i / 1000));
    for (int frame = 0; frame < 4; ++frame)
        layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true}, nullptr, {}));
    const ExportReport big = Exporter(layout, dir.filePath("big.lumora")).exportAnimation();
    EXPECT_TRUE(big.ok());
    ASSERT_EQ(big.warnings.size(), 1);
    EXPECT_TRUE(big.warnings[0].contains("36000 bytes")) << qPrintable(big.warnings[0]);

    layout.animationEditor->track().frames.resize(3); // 27000 bytes fit
    EXPECT_TRUE(Exporter(layout, dir.filePath("big.lumora")).exportAnimation().warnings.isEmpty());
}

TEST(Exporter, DamagedPicturesAreReported)
{
    QTemporaryDir dir;
    QImage picture(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, qRgb(x, y, x ^ y));
    ASSERT_TRUE(picture.save(dir.filePath("whole.jpg")));
    QByteArray bytes = contents(dir.filePath("whole.jpg"));
    QFile cut(dir.filePath("cut.jpg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 2 / 3));
    cut.close();
    LayoutSnapshot layout;
    layout.leds = {{512, 384}};
    layout.images = {QUrl::fromLocalFile(dir.filePath("cut.jpg"))};
    const QUrl cutUrl = layout.images[0];
    layout.animationEditor->track().frames.append(
        AnimationFrame::newWithSelection({true}, Picture::fromUrl(cutUrl), cutUrl));
    Exporter exporter(layout, dir.filePath("d.lumora"));
    for (const ExportReport &report : {exporter.exportImages(), exporter.exportAnimation()}) {
        EXPECT_TRUE(report.ok());
        ASSERT_EQ(report.warnings.size(), 1);
        EXPECT_TRUE(report.warnings[0].contains("cut.jpg is damaged")) << qPrintable(report.warnings[0]);
    }
}
