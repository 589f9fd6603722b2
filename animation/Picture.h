#pragma once

#include <QImage>
#include <QMutex>
#include <QString>
#include <QUrl>

#include <memory>

namespace lumora {

/// What reading a picture file gave: the pixels, and why there are none or why they are
/// incomplete. A damaged (truncated) picture keeps the part that decoded.
struct PictureLoad {
    QImage image;
    /// Empty when the picture read whole; otherwise a message naming the file.
    QString problem;
    bool damaged = false;
};

/// Pictures above either limit are refused before decoding: a 15000 × 15000 picture would
/// take almost a gigabyte.
constexpr int maxPictureSide = 16000;
constexpr qint64 maxPictureBytes = qint64(256) << 20;

/// An image that refers to a URL and is decoded when first needed, or one that already
/// holds its pixels. Frames and the layout's background share pictures by pointer.
class Picture {
public:
    static std::shared_ptr<Picture> fromUrl(const QUrl &url);
    static std::shared_ptr<Picture> fromImage(const QImage &image, const QUrl &url = {});

    QUrl url() const { return m_url; }
    /// The decoded pixels; a null image when the URL does not name a readable picture.
    QImage image() const;
    /// Why image() is null or incomplete (decoding first if needed); empty when it is whole.
    QString problem() const;
    /// Width in pixels of the decoded image (0 when it cannot be decoded).
    int width() const { return image().width(); }

private:
    explicit Picture(const QUrl &url);
    void decode() const;

    QUrl m_url;
    mutable QMutex m_mutex;
    mutable bool m_decoded = false;
    mutable QImage m_image;
    mutable QString m_problem;
};

using PicturePtr = std::shared_ptr<Picture>;

/// Reads a picture file with every format Qt reads, refusing anything but a regular file,
/// pictures above the limits (judged from the header, before decoding), and reporting a
/// picture that decodes only partly as damaged.
PictureLoad loadPicture(const QString &fileName);
/// loadPicture's pixels alone; a null image on failure.
QImage decodePicture(const QString &fileName);

} // namespace lumora
