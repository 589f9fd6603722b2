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

/// Everything an input needs in one call: a regular file (opened non-blocking, checked on
/// the descriptor), at most `limit` bytes by its size and by what was read, read whole into
/// `out`. On failure the reason names the file and why ("it is a FIFO, not a file", "it is
/// 300 MB; files above 256 MB are refused", the system's message).
bool readRegularFile(const QString &fileName, qint64 limit, QByteArray &out, QString *error);

} // namespace lumora
