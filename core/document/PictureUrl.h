#pragma once

#include "LayoutSnapshot.h"

#include <QString>
#include <QUrl>

namespace lumora {

/// How a picture is stored in a document saved into `folder`: relative to the folder when
/// the file lies in it or below (so a project folder can be moved or shared), otherwise
/// as an absolute file URL. `stored` is read against `oldBase` (the document's folder
/// until now, as a file URL ending in '/'; empty for an untitled layout). URLs that are
/// not files are kept as they are.
QUrl expressedPictureUrl(const QUrl &stored, const QUrl &oldBase, const QString &folder);

/// The layout with every picture URL (strip and frames) expressed for a document saved
/// into `folder`; the frames are copies, so the live ones are left alone.
LayoutSnapshot withPicturesFor(const LayoutSnapshot &layout, const QUrl &oldBase, const QString &folder);

} // namespace lumora
