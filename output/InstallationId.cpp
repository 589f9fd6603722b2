#include "InstallationId.h"

#include <QSettings>

namespace lumora {

QUuid installationCid()
{
    // The editor's settings, so that the editor and lumora-cli are one source to receivers.
    QSettings store("Lumora", "lumora");
    return installationCid(store);
}

QUuid installationCid(QSettings &store)
{
    const QUuid stored(store.value("output/cid").toString());
    if (!stored.isNull())
        return stored;
    const QUuid made = QUuid::createUuid();
    store.setValue("output/cid", made.toString(QUuid::WithBraces));
    store.sync();
    return made;
}

} // namespace lumora
