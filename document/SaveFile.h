#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

/// Writes the bytes to the file atomically (a crash never leaves half a file). On failure
/// returns false and, when asked, a message naming the file and the reason.
bool saveFile(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

} // namespace lumora
