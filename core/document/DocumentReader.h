#pragma once

#include "Model.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace lumora {

/// The result of reading a document. The reader is tolerant: lines that fit no rule are
/// skipped and bad numbers read as 0. The one thing it refuses is bytes that are not
/// UTF-8, because opening such a file as an empty document would later overwrite it.
struct ReadResult {
    bool ok = true;
    QString error;
    /// What was read but changed on the way (numbers out of range), for the user to see.
    QStringList warnings;
};

/// Scans a document text line by line and appends what it finds to the model. Frame
/// pictures named by relative URLs are looked for relative to `base` (the document's folder).
ReadResult readDocument(const QByteArray &bytes, Model &model, const QUrl &base = {});
ReadResult readDocument(QIODevice &device, Model &model, const QUrl &base = {});
/// Larger documents are refused (a real layout of a million LEDs is some 30 MB).
constexpr qint64 maxDocumentBytes = qint64(512) << 20;

/// The entry point for files: refuses what is not a layout before it can be opened for
/// editing and later overwritten: anything but a regular file (folders, devices, FIFOs),
/// files above maxDocumentBytes, and text holding none of the document's tables unless it
/// is empty. Inside a layout the reader stays as tolerant as ever.
ReadResult readDocumentFile(const QString &fileName, Model &model);

/// A picture URL as stored in a document, made absolute against the document's folder.
QUrl resolvedPictureUrl(const QUrl &url, const QUrl &base);
/// The folder of a document file, as a base for its relative picture URLs.
QUrl documentBase(const QString &fileName);

// Field rules, shared with tests.
/// The longest decimal floating-point prefix after leading white space; 0 without one.
double readNumber(QStringView field);
/// True when, after white space, a sign and zeros, the next character is Y, y, T, t or 1-9.
bool readBoolean(QStringView field);
/// A valid absolute or relative URL reference (percent-escaped, URL characters only).
std::optional<QUrl> readUrl(QStringView text);

} // namespace lumora
