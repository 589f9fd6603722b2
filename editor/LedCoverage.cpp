#include "LedCoverage.h"

#include <algorithm>

namespace lumora {

namespace {

/// Each of x's colour bytes times a/255, rounded (x's alpha byte must be 0).
inline quint32 scaled(quint32 x, quint32 a)
{
    quint32 rb = (x & 0xFF00FFu) * a;
    rb = ((rb + ((rb >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    quint32 g = ((x >> 8) & 0xFFu) * a;
    g = (g + (g >> 8) + 0x80u) >> 8;
    return rb | (g << 8);
}

} // namespace

void LedCoverage::clear()
{
    m_image = QImage();
    m_first.clear();
    m_pixels.clear();
    m_written.clear();
}

void LedCoverage::build(const QImage &black, const QImage &white, const QImage &index, qsizetype ledCount)
{
    clear();
    Q_ASSERT(black.format() == QImage::Format_ARGB32_Premultiplied && white.format() == black.format());
    Q_ASSERT(index.format() == QImage::Format_RGB32 && index.size() == black.size() && white.size() == black.size());
    const int w = black.width(), h = black.height();
    const qsizetype stride = black.bytesPerLine() / 4;

    // Two passes over the LEDs' pixels: count them per LED, then place them, so each LED's
    // pixels lie together (and in scanline order) for the writes.
    m_first.assign(ledCount + 1, 0);
    for (int y = 0; y < h; ++y) {
        const QRgb *id = reinterpret_cast<const QRgb *>(index.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 led = id[x] & 0xFFFFFFu;
            if (led != 0 && led <= quint32(ledCount))
                ++m_first[led];
        }
    }
    for (qsizetype k = 0; k < ledCount; ++k)
        m_first[k + 1] += m_first[k];
    m_pixels.resize(m_first[ledCount]);
    std::vector<quint32> next(m_first.begin(), m_first.end() - 1);
    for (int y = 0; y < h; ++y) {
        const QRgb *id = reinterpret_cast<const QRgb *>(index.constScanLine(y));
        const QRgb *b = reinterpret_cast<const QRgb *>(black.constScanLine(y));
        const QRgb *wh = reinterpret_cast<const QRgb *>(white.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 led = id[x] & 0xFFFFFFu;
            if (led == 0 || led > quint32(ledCount))
                continue;
            // The fill's share is what a white fill adds over a black one; the smallest
            // channel keeps black-fill pixel + share within 255 in every channel.
            const int share = std::max(0, std::min({qRed(wh[x]) - qRed(b[x]), qGreen(wh[x]) - qGreen(b[x]),
                                                    qBlue(wh[x]) - qBlue(b[x])}));
            m_pixels[next[led - 1]++] = {quint32(y * stride + x), (quint32(share) << 24) | (b[x] & 0xFFFFFFu)};
        }
    }
    m_image = black.copy();
    m_written.assign(ledCount, 0); // the image shows every fill black
}

void LedCoverage::setColors(const std::vector<QRgb> &colors)
{
    if (m_image.isNull())
        return;
    QRgb *bits = reinterpret_cast<QRgb *>(m_image.bits());
    const qsizetype count = std::min(qsizetype(colors.size()), qsizetype(m_written.size()));
    for (qsizetype k = 0; k < count; ++k) {
        const QRgb color = colors[k] & 0xFFFFFFu;
        if (color == m_written[k])
            continue;
        m_written[k] = color;
        const Pixel *end = m_pixels.data() + m_first[k + 1];
        for (const Pixel *p = m_pixels.data() + m_first[k]; p != end; ++p)
            bits[p->offset] = 0xFF000000u | ((p->under & 0xFFFFFFu) + scaled(color, p->under >> 24));
    }
}

} // namespace lumora
