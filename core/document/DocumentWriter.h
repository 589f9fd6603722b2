#pragma once

#include "LayoutSnapshot.h"

#include <QByteArray>
#include <QString>

namespace lumora {

/// The document text of a layout, exact and deterministic: the points, grid, filenames,
/// tracks, trackFilenames and positions tables, each present only when it has content.
QByteArray writeDocument(const LayoutSnapshot &layout);

/// Writes the document atomically; false with a message when it could not be saved.
bool writeDocumentFile(const LayoutSnapshot &layout, const QString &fileName, QString *error = nullptr);

/// "%f": fixed notation with six decimals, whatever the process locale. Never "inf" or
/// "nan": infinities are written as the largest double, a NaN as 0.
QByteArray formatFixed(double value);
/// A URL as the document stores it: fully percent-encoded, with "," as %2C so that a
/// reader splitting rows at commas keeps the name whole. Empty for no URL.
QByteArray urlText(const QUrl &url);

} // namespace lumora
