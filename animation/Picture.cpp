#include "Picture.h"

#include "document/FileChecks.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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

} // namespace

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
    return picture;
}

void Picture::decode() const
{
    if (m_decoded)
        return;
    m_decoded = true;
    if (!m_url.isLocalFile()) {
        m_problem = QString("cannot read %1: not a local file").arg(m_url.toDisplayString());
        return;
    }
    PictureLoad load = loadPicture(m_url.toLocalFile());
    m_image = load.image;
    m_problem = load.problem;
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

PictureLoad loadPicture(const QString &fileName)
{
    PictureLoad load;
    QFile file;
    if (!openRegularFile(fileName, file, &load.problem))
        return load;
    QImageReader reader(&file, QFileInfo(fileName).suffix().toLower().toLatin1());
    const QSize size = reader.size();
    if (size.isValid()
        && (size.width() > maxPictureSide || size.height() > maxPictureSide
            || qint64(size.width()) * size.height() * 4 > maxPictureBytes)) {
        load.problem = QString("cannot read %1: it is %2 × %3 pixels; pictures above %4 × %4 pixels "
                               "or %5 MB decoded are refused")
                           .arg(fileName)
                           .arg(size.width())
                           .arg(size.height())
                           .arg(maxPictureSide)
                           .arg(maxPictureBytes >> 20);
        return load;
    }
    // A header that states no size is held to the same bound by Qt's own guard.
    reader.setAllocationLimit(int(maxPictureBytes >> 20));
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
