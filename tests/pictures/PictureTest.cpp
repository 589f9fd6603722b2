#include "pictures/Picture.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

QString put(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    return writeTestFile(dir.filePath(name), bytes);
}

QByteArray encoded(const QImage &image, const char *format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return buffer.data();
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

/// A PNG signature and header claiming the size, without any pixels: what a reader sees
/// before it would decode.
QByteArray pngHeader(quint32 width, quint32 height)
{
    QByteArray chunk = "IHDR";
    chunk += QByteArray(13, '\0');
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk[12] = 8; // bit depth
    chunk[13] = 6; // RGBA
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray length(4, '\0'), crc(4, '\0');
    qToBigEndian(quint32(13), length.data());
    qToBigEndian(crc32(chunk), crc.data());
    // An empty IDAT and the IEND chunk, so that the header can be read to its end.
    return png + length + chunk + crc + QByteArray("\0\0\0\0IDAT\x35\xAF\x06\x1E\0\0\0\0IEND\xAE\x42\x60\x82", 24);
}

} // namespace

TEST(Picture, RefusesWhatIsNotAPictureFileAndPicturesAboveTheLimits)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {fifo, "FIFO"}, // once hung the window for ever
        {dir.path(), "folder"},
        {"/dev/zero", "device"},
        {put(dir, "wide.png", pngHeader(16001, 10)), "16001 × 10"},
        {put(dir, "big.png", pngHeader(9000, 8000)), "256 MB"}, // 288 MB decoded
        {put(dir, "text.png", "not a picture"), "cannot read"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.path));
        const PictureLoad load = loadPicture(c.path);
        EXPECT_TRUE(load.image.isNull());
        EXPECT_TRUE(load.problem.contains(c.reason)) << qPrintable(load.problem);
    }
    EXPECT_FALSE(Picture::fromUrl(QUrl::fromLocalFile(fifo))->problem().isEmpty());
}

// A truncated JPEG decoded grey and exported with no warning.
TEST(Picture, TruncatedPicturesAreReportedAsDamaged)
{
    QTemporaryDir dir;
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    for (const char *format : {"jpg", "png"}) {
        SCOPED_TRACE(format);
        const QByteArray whole = encoded(image, format);
        const PictureLoad good = loadPicture(put(dir, QString("whole.") + format, whole));
        EXPECT_FALSE(good.image.isNull());
        EXPECT_TRUE(good.problem.isEmpty()) << qPrintable(good.problem);
        EXPECT_FALSE(good.damaged);

        const PictureLoad cut = loadPicture(put(dir, QString("cut.") + format, whole.left(whole.size() * 2 / 3)));
        EXPECT_FALSE(cut.problem.isEmpty());
        if (QByteArray(format) == "jpg") {
            EXPECT_FALSE(cut.image.isNull()) << "JPEG decodes the part before the cut";
        }
        if (!cut.image.isNull()) {
            EXPECT_TRUE(cut.damaged && cut.problem.contains("damaged")) << qPrintable(cut.problem);
        }
    }
}
