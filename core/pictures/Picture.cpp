#include "Picture.h"

#include "common/ColorBytes.h"
#include "common/FileChecks.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <atomic>

namespace lumora {

namespace {

/// Whether the file ends as its format requires. Decoders fill a truncated picture with grey
/// and report success, so the end is looked for in the last bytes of the file: the PNG IEND
/// chunk, the JPEG end-of-image marker, the GIF trailer. Other formats are taken as read.
bool endsWhole(QFile &file, const QByteArray &format)
{
    constexpr qint64 tail = 4096;
    if (!file.seek(std::max<qint64>(0, file.size() - tail)))
        return true;
    QByteArray end = file.read(tail);
    if (format == "png")
        return end.contains("IEND");
    if (format == "jpeg" || format == "jpg")
        return end.contains("\xFF\xD9");
    if (format == "gif") {
        while (end.endsWith('\0'))
            end.chop(1);
        return end.endsWith(';');
    }
    return true;
}

std::atomic<qint64> decodes{0};

} // namespace

FileStamp FileStamp::of(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    return {info.lastModified(), info.size()};
}

Picture::Picture(const QUrl &url)
    : m_url(url)
{
}

std::shared_ptr<Picture> Picture::fromUrl(const QUrl &url)
{
    return std::shared_ptr<Picture>(new Picture(url));
}

std::shared_ptr<Picture> Picture::fromImage(const QImage &image, const QUrl &url)
{
    auto picture = std::shared_ptr<Picture>(new Picture(url));
    picture->m_image = image;
    picture->m_decoded = true;
    picture->m_ready = true;
    return picture;
}

qint64 Picture::decodeCount()
{
    return decodes.load();
}

namespace {

QImage reduced(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage fitted = image.width() > previewSide || image.height() > previewSide
        ? image.scaled(QSize(previewSide, previewSide), Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : image;
    return fitted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void Picture::take(PictureLoad load) const
{
    // On the decoding thread: the preview from the decoder's own format (which scales
    // without a converted full copy), then the pixels converted in place where the pixel
    // size allows, so that one full copy serves the sampling and the exports.
    m_preview = reduced(load.image);
    if (!load.image.isNull())
        load.image.convertTo(QImage::Format_RGBA8888);
    m_image = std::move(load.image);
    m_problem = load.problem;
    m_bitmap.reset();
}

void Picture::decode() const
{
    if (m_decoded)
        return;
    m_decoded = true;
    if (!m_url.isLocalFile()) {
        m_problem = QString("cannot read %1: not a local file").arg(m_url.toDisplayString());
        m_ready = true;
        return;
    }
    const QString fileName = m_url.toLocalFile();
    // Stamped before reading: a change while decoding shows as a newer stamp later.
    m_stamp = FileStamp::of(fileName);
    take(loadPicture(fileName));
    m_ready = true;
}

QImage Picture::image() const
{
    QMutexLocker lock(&m_mutex);
    decode();
    return m_image;
}

QString Picture::problem() const
{
    QMutexLocker lock(&m_mutex);
    decode();
    return m_problem;
}

QImage Picture::preview() const
{
    QMutexLocker lock(&m_mutex);
    decode();
    if (m_preview.isNull() && !m_image.isNull())
        m_preview = reduced(m_image);
    return m_preview;
}

bool Picture::isDecoded() const
{
    return m_ready.load();
}

std::shared_ptr<const QImage> Picture::bitmap() const
{
    QMutexLocker lock(&m_mutex);
    decode();
    if (!m_bitmap && !m_image.isNull())
        m_bitmap = std::make_shared<const QImage>(sampleableImage(m_image));
    return m_bitmap;
}

quint64 Picture::generation() const
{
    QMutexLocker lock(&m_mutex);
    return m_generation;
}

FileStamp Picture::stamp() const
{
    QMutexLocker lock(&m_mutex);
    return m_stamp;
}

void Picture::replace(PictureLoad load, const FileStamp &stamp)
{
    QMutexLocker lock(&m_mutex);
    take(std::move(load));
    m_stamp = stamp;
    m_decoded = true;
    m_ready = true;
    ++m_generation;
}

bool openPicture(const QString &fileName, QFile &file, QImageReader &reader, QString *problem)
{
    if (!openRegularFile(fileName, file, problem))
        return false;
    reader.setDevice(&file);
    reader.setFormat(QFileInfo(fileName).suffix().toLower().toLatin1());
    const QSize size = reader.size();
    if (size.isValid()
        && (size.width() > maxPictureSide || size.height() > maxPictureSide
            || qint64(size.width()) * size.height() * 4 > maxPictureBytes)) {
        if (problem)
            *problem = QString("cannot read %1: it is %2 × %3 pixels; pictures above %4 × %4 pixels "
                               "or %5 MB decoded are refused")
                           .arg(fileName)
                           .arg(size.width())
                           .arg(size.height())
                           .arg(maxPictureSide)
                           .arg(maxPictureBytes >> 20);
        return false;
    }
    // A header that states no size is held to the same bound by Qt's own guard.
    reader.setAllocationLimit(int(maxPictureBytes >> 20));
    return true;
}

QString pictureRefusal(const QString &fileName)
{
    QFile file;
    QImageReader reader;
    QString problem;
    if (!openPicture(fileName, file, reader, &problem))
        return problem;
    if (!reader.canRead())
        return QString("cannot read %1: %2").arg(fileName, reader.errorString());
    return {};
}

PictureLoad loadPicture(const QString &fileName)
{
    PictureLoad load;
    QFile file;
    QImageReader reader;
    if (!openPicture(fileName, file, reader, &load.problem))
        return load;
    ++decodes;
    if (!reader.read(&load.image)) {
        load.problem = QString("cannot read %1: %2").arg(fileName, reader.errorString());
        load.image = {};
        return load;
    }
    if (!endsWhole(file, reader.format())) {
        load.damaged = true;
        load.problem = QString("%1 is damaged: the file ends before the picture does").arg(fileName);
    }
    return load;
}

QImage decodePicture(const QString &fileName)
{
    return loadPicture(fileName).image;
}

} // namespace lumora
