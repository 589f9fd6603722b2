#include "ImageBitmap.h"

namespace lumora {

ImageBitmap::ImageBitmap(QImage image)
    // One fixed pixel format makes every read the same, whatever the file held
    // (greyscale, indexed, 16 bit): straight, not premultiplied, RGBA.
    : m_image(image.convertToFormat(QImage::Format_RGBA8888))
{
}

double ImageBitmap::width() const
{
    return m_image.width() / m_image.devicePixelRatio();
}

double ImageBitmap::height() const
{
    return m_image.height() / m_image.devicePixelRatio();
}

std::optional<PixelColor> ImageBitmap::colorAt(long long column, long long row) const
{
    if (column < 0 || row < 0 || column >= m_image.width() || row >= m_image.height())
        return std::nullopt;
    const uchar *pixel = m_image.constScanLine(int(row)) + 4 * column;
    return PixelColor{pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0, pixel[3] / 255.0};
}

} // namespace lumora
