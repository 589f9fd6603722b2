#pragma once

#include <QDateTime>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>

class QFile;
class QImageReader;

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
/// The longer side of the reduced copy the screen and the thumbnails draw from.
constexpr int previewSide = 2048;

/// When a file was last written and how long it is. A picture decoded at one stamp is out of
/// date once its file shows another.
struct FileStamp {
    QDateTime modified;
    qint64 size = -1;

    static FileStamp of(const QString &fileName);
    bool operator==(const FileStamp &other) const { return modified == other.modified && size == other.size; }
};

/// An image that refers to a URL and is decoded when first needed, or one that already
/// holds its pixels. Frames, the layout's background and undo share pictures by pointer;
/// a document's `PictureCache` hands out one per file and, when the file changes on disk,
/// gives that same picture the new pixels (`generation()` counts up). Safe to read from any
/// thread: a reader arriving while the picture decodes waits for it.
class Picture {
public:
    static std::shared_ptr<Picture> fromUrl(const QUrl &url);
    static std::shared_ptr<Picture> fromImage(const QImage &image, const QUrl &url = {});

    QUrl url() const { return m_url; }
    /// The decoded pixels (decoding first if needed); a null image when the URL does not
    /// name a readable picture. Pictures read from files come as RGBA8888, the format the
    /// sampling reads, so that one copy serves the screen and the exports.
    QImage image() const;
    /// Why image() is null or incomplete (decoding first if needed); empty when it is whole.
    QString problem() const;
    /// The pixels reduced to at most previewSide on the longer side, premultiplied, for
    /// the layout editor and the thumbnails: scaling a large RGBA8888 picture on every paint
    /// would convert a full copy each time. Decoding first if needed.
    QImage preview() const;
    /// Width in pixels of the decoded image (0 when it cannot be decoded).
    int width() const { return image().width(); }
    /// Whether the pixels are there, without waiting for them: what painting asks.
    bool isDecoded() const;
    /// The pixels in the format samplePicture and the Image pattern read, converted once;
    /// none when the picture cannot be decoded.
    std::shared_ptr<const QImage> bitmap() const;
    /// Counts up each time newer pixels of the file replace the old ones.
    quint64 generation() const;
    /// The file's stamp when it was decoded (empty for pictures made from pixels).
    FileStamp stamp() const;
    /// Takes a new decode of the same file, made when the file had `stamp`.
    void replace(PictureLoad load, const FileStamp &stamp);

    /// Picture files decoded by this process so far (for tests and measurements).
    static qint64 decodeCount();

private:
    explicit Picture(const QUrl &url);
    void decode() const;
    void take(PictureLoad load) const;

    QUrl m_url;
    mutable QMutex m_mutex;
    mutable bool m_decoded = false;
    mutable QImage m_image;
    mutable QImage m_preview;
    mutable QString m_problem;
    mutable FileStamp m_stamp;
    mutable std::shared_ptr<const QImage> m_bitmap;
    mutable quint64 m_generation = 0;
    /// Set once pixels (or the reason there are none) are there; read without the lock, so
    /// that painting never waits behind a decode or a reader.
    mutable std::atomic<bool> m_ready{false};
};

using PicturePtr = std::shared_ptr<Picture>;

/// Reads a picture file with every format Qt reads, refusing anything but a regular file,
/// pictures above the limits (judged from the header, before decoding), and reporting a
/// picture that decodes only partly as damaged.
PictureLoad loadPicture(const QString &fileName);
/// loadPicture's pixels alone; a null image on failure.
QImage decodePicture(const QString &fileName);
/// Why the file will not be taken as a picture, judged from its header alone (not a
/// regular file, not a picture format, above the limits); empty when it looks readable.
/// Cheap enough for the GUI thread: nothing is decoded.
QString pictureRefusal(const QString &fileName);
/// Opens the file and its reader for a picture, refusing what pictureRefusal refuses.
bool openPicture(const QString &fileName, QFile &file, QImageReader &reader, QString *problem);

} // namespace lumora
