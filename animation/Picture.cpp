#include "Picture.h"

#include <QImageReader>

namespace lumora {

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

QImage Picture::image() const
{
    QMutexLocker lock(&m_mutex);
    if (!m_decoded) {
        m_decoded = true;
        if (m_url.isLocalFile())
            m_image = decodePicture(m_url.toLocalFile());
    }
    return m_image;
}

QImage decodePicture(const QString &fileName)
{
    QImageReader reader(fileName);
    // Lift Qt's default 256 MB guard a little: large murals are real pictures.
    reader.setAllocationLimit(1024);
    return reader.read();
}

} // namespace lumora
