#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

namespace lumora {

/// The LEDs of the layout editor composited once over the layers beneath them. It is taken
/// from three renders of one frame: every fill black, every fill white, and every LED's fill
/// area alone in a colour that names the LED. From them it knows, for each pixel, which LED's
/// fill shows there last and how much of it shows through the rings and shadows drawn above;
/// new fill colours are then written straight into the image instead of painting every LED
/// again. Owned by the `View`, which builds it again when anything but the fill colours
/// changes. Fills must be opaque: a translucent fill would let earlier LEDs show through.
class LedCoverage {
public:
    /// The colour that names LED `index` in the fill-area render (pixels of no LED stay 0).
    static QRgb indexColor(qsizetype index) { return 0xFF000000u | QRgb(index + 1); }
    /// The most LEDs the fill-area render can tell apart.
    static constexpr qsizetype maximumLeds = 0xFFFFFF - 1;

    /// Takes a frame apart. `black` and `white` are ARGB32_Premultiplied renders of the same
    /// opaque frame that differ only in the LEDs' fills; `index` (RGB32, of the same size)
    /// holds each LED's fill area in its `indexColor` on 0. The image starts as `black`.
    void build(const QImage &black, const QImage &white, const QImage &index, qsizetype ledCount);
    void clear();
    bool isNull() const { return m_image.isNull(); }

    /// Writes the LEDs' fill colours (one per LED; the alpha byte is ignored); the pixels of
    /// an LED whose colour is what the image shows already are left alone.
    void setColors(const std::vector<QRgb> &colors);
    const QImage &image() const { return m_image; }
    /// How many pixels the fills reach, all LEDs together.
    qsizetype pixelCount() const { return qsizetype(m_pixels.size()); }

private:
    struct Pixel {
        quint32 offset; ///< in pixels from the image's first
        quint32 under;  ///< the pixel with a black fill (RGB) and the fill's share (top byte)
    };
    QImage m_image;
    std::vector<quint32> m_first; ///< per LED, its first pixel; one more entry at the end
    std::vector<Pixel> m_pixels;
    std::vector<QRgb> m_written;  ///< per LED, the colour in the image now
};

} // namespace lumora
