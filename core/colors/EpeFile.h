#pragma once

#include "UserPattern.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace lumora {

/// A pattern as the Pixelblaze device exports it: a JSON file {name, id, sources: {main},
/// preview}, the preview a base64 JPEG with one column per LED and one row per frame.
struct EpePattern {
    QString name;
    QString id;
    QByteArray source;
};

/// Reads a .epe file's content; none, with the reason in `error`, when it is not one.
std::optional<EpePattern> readEpe(const QByteArray &data, QString *error = nullptr);

/// The .epe text of a pattern and its preview (an empty id gets a new one).
QByteArray writeEpe(const EpePattern &pattern, const QImage &preview);

/// The preview of a user pattern on these LEDs (layout units, LED order): `frames` rows of
/// one pixel per LED, row i as the export renders frame i. None, with the pattern's error in
/// `error`, when it stops on one.
std::optional<QImage> userPatternPreview(const UserPattern &pattern, const QList<QPointF> &leds, int frames = 150,
                                         QString *error = nullptr);

} // namespace lumora
