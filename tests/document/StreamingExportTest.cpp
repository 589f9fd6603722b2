#include "common/ColorBytes.h"
#include "exports/Exporter.h"
#include "colors/PatternRender.h"

#include "patterns/framework/ColorPattern.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

class Waves : public ColorPattern {
public:
    Color color(const Position &p) const override
    {
        return Color(0.5 + 0.5 * std::sin(p.x + p.time), 0.5 + 0.5 * std::cos(p.y), (p.index % 7) / 6.0);
    }
};

/// The template as it was drawn before: every disc one subpath of a single path.
QImage pathTemplate(const QList<QPointF> &leds)
{
    QImage image(1024, 768, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainterPath discs;
    discs.setFillRule(Qt::WindingFill);
    for (const QPointF &led : leds)
        discs.addEllipse(QRectF(led.x() - 10, led.y() - 10, 20, 20));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, 768);
    painter.scale(1, -1);
    painter.fillPath(discs, QColor::fromRgbF(1, 0, 1));
    return image;
}

} // namespace

// Chunks of any size, and chunk boundaries that do not divide the frame count, give the
// bytes of one render into memory.
TEST(StreamingExport, PatternChunksGiveTheSameBytesAsOneBuffer)
{
    Waves pattern;
    const QList<QPointF> grid = {{10, -4}, {1, 1}, {0, 0.5}, {-3, 2}};
    QByteArray whole;
    ASSERT_TRUE(renderPatternAnimation(whole, grid, pattern, 3000, 2));
    for (qsizetype chunkBytes : {qsizetype(1), qsizetype(12 * 7), renderChunkBytes}) {
        SCOPED_TRACE(chunkBytes);
        QByteArray streamed;
        int chunks = 0;
        const auto sink = [&](const char *data, qsizetype size) {
            EXPECT_EQ(size % 12, 0) << "chunks hold whole frames";
            streamed.append(data, size);
            ++chunks;
            return true;
        };
        ASSERT_TRUE(renderPatternAnimation(sink, grid, pattern, 3000, 2, nullptr, nullptr, false, chunkBytes));
        EXPECT_EQ(streamed, whole);
        EXPECT_EQ(chunks, chunkBytes == 1 ? 3000 : chunkBytes == 84 ? 429 : 1);
    }
    // A sink that fails stops the render.
    int calls = 0;
    EXPECT_FALSE(renderPatternAnimation([&](const char *, qsizetype) { return ++calls < 3; }, grid, pattern, 3000,
                                        1, nullptr, nullptr, false, 12));
    EXPECT_EQ(calls, 3);
}

// The picture export streams blocks of LEDs; with more LEDs than one block the files must
// hold exactly what encoding every LED in order gives.
TEST(StreamingExport, PictureFilesMatchEncodingEveryLedInOrder)
{
    QTemporaryDir dir;
    QImage picture(64, 48, QImage::Format_RGBA8888);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixelColor(x, y, QColor(x * 4, y * 5, (x * y) % 256, 200));
    ASSERT_TRUE(picture.save(dir.filePath("p.png")));
    LayoutSnapshot layout;
    for (int i = 0; i < 70000; ++i)
        layout.leds.append(QPointF((i * 37) % 1100, (i * 11) % 800));
    layout.images = {QUrl::fromLocalFile(dir.filePath("p.png")), QUrl::fromLocalFile(dir.filePath("none.png"))};
    Exporter exporter(layout, dir.filePath("d.lumora"));
    exporter.setHeaderStyle(HeaderStyle::Classic);
    ASSERT_TRUE(exporter.exportImages().ok());

    const QImage sampled = sampleableImage(picture);
    QByteArray header = "prog_uchar image0[] PROGMEM =\n{\n", ppm = "P6\n70000 2\n255\n";
    for (const QPointF &led : layout.leds) {
        appendColor(header, samplePicture(sampled, led));
        appendPixel(ppm, samplePicture(sampled, led));
    }
    ppm += QByteArray(3 * 70000, '\0');
    EXPECT_TRUE(testFileBytes(dir.filePath("image0.h")) == header + "};\n");
    EXPECT_TRUE(testFileBytes(dir.filePath("frame000.ppm")) == ppm);
}

// Discs stamped from sprites equal the path fill wherever discs do not overlap and their
// centres lie on eighth pixels, and overlapping discs stay one solid shape.
TEST(StreamingExport, TemplateSpritesMatchThePathFill)
{
    QList<QPointF> apart;
    for (int i = 0; i < 60; ++i)
        apart.append(QPointF(15 + (i % 12) * 83 + (i % 8) / 8.0, 20 + (i / 12) * 150 + (i % 5) / 8.0));
    apart.append(QPointF(1020, 3)); // clipped at the picture's edge
    EXPECT_TRUE(Exporter::templateImage(apart) == pathTemplate(apart));

    const QList<QPointF> overlapping = {{500, 400}, {507, 400}, {503.3, 405.1}};
    const QImage sprites = Exporter::templateImage(overlapping), path = pathTemplate(overlapping);
    int differing = 0;
    for (int y = 350; y < 420; ++y)
        for (int x = 480; x < 530; ++x) {
            const int d = std::abs(qAlpha(sprites.pixel(x, y)) - qAlpha(path.pixel(x, y)));
            EXPECT_LE(d, 64) << x << "," << y;
            differing += d > 0;
        }
    EXPECT_LT(differing, 40) << "only pixels where rims cross may differ";
    EXPECT_EQ(sprites.pixelColor(503, 768 - 400), QColor(255, 0, 255));
}
