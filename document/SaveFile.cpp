#include "SaveFile.h"

#include <QSaveFile>

namespace lumora {

bool saveFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QString("cannot write %1: %2").arg(fileName, file.errorString());
    return false;
}

} // namespace lumora
