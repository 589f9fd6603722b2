#include "PictureUrl.h"

#include "DocumentReader.h"

#include <QDir>
#include <QFileInfo>

namespace lumora {

QUrl expressedPictureUrl(const QUrl &stored, const QUrl &oldBase, const QString &folder)
{
    if (stored.isEmpty())
        return stored;
    const QUrl absolute = resolvedPictureUrl(stored, oldBase);
    if (!absolute.isLocalFile())
        return stored;
    const QString file = QFileInfo(absolute.toLocalFile()).absoluteFilePath();
    const QString relative = QDir(folder).relativeFilePath(file);
    if (relative.startsWith(QLatin1String("../")) || relative == QLatin1String("..") || QDir::isAbsolutePath(relative))
        return QUrl::fromLocalFile(file);
    QUrl url;
    url.setPath(relative);
    return url;
}

LayoutSnapshot withPicturesFor(const LayoutSnapshot &layout, const QUrl &oldBase, const QString &folder)
{
    LayoutSnapshot result = layout.detached();
    for (QUrl &url : result.images)
        url = expressedPictureUrl(url, oldBase, folder);
    for (const TrackPtr &track : result.animationEditor->tracks())
        for (const FramePtr &frame : track->frames)
            frame->url = expressedPictureUrl(frame->url, oldBase, folder);
    return result;
}

} // namespace lumora
