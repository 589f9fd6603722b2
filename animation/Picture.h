#pragma once

#include <QImage>
#include <QMutex>
#include <QUrl>

#include <memory>

namespace lumora {

/// An image that refers to a URL and is decoded when first needed, or one that already
/// holds its pixels. Frames and the layout's background share pictures by pointer.
class Picture {
public:
    static std::shared_ptr<Picture> fromUrl(const QUrl &url);
    static std::shared_ptr<Picture> fromImage(const QImage &image, const QUrl &url = {});

    QUrl url() const { return m_url; }
    /// The decoded pixels; a null image when the URL does not name a readable picture.
    QImage image() const;
    /// Width in pixels of the decoded image (0 when it cannot be decoded).
    int width() const { return image().width(); }

private:
    explicit Picture(const QUrl &url);

    QUrl m_url;
    mutable QMutex m_mutex;
    mutable bool m_decoded = false;
    mutable QImage m_image;
};

using PicturePtr = std::shared_ptr<Picture>;

/// Decodes a picture file with every format Qt reads; a null image on failure.
QImage decodePicture(const QString &fileName);

} // namespace lumora
