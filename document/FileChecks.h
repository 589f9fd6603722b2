#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

namespace lumora {

/// Opens a file for reading only when it is a regular file: folders, devices (/dev/zero),
/// FIFOs and sockets are refused with a reason instead of being read for ever or blocking.
/// The check is made on the opened descriptor, so a file swapped after a look cannot slip by.
bool openRegularFile(const QString &fileName, QFile &file, QString *error);

/// Reads the whole device in bounded chunks; false with a reason when it holds more than
/// `limit` bytes (nothing beyond limit + one chunk is ever held).
bool readBounded(QIODevice &device, qint64 limit, QByteArray &out, QString *error);

} // namespace lumora
