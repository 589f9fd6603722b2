#pragma once

#include "patterns/framework/PixelPattern.h"

#include <QImage>

namespace lumora {

/// A decoded picture as the pattern engine's Bitmap: the Qt side of PixelPattern.
class ImageBitmap : public Bitmap {
public:
    explicit ImageBitmap(QImage image);

    double width() const override;
    double height() const override;
    std::optional<PixelColor> colorAt(long long column, long long row) const override;

    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

} // namespace lumora
