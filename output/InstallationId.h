#pragma once

#include <QUuid>

class QSettings;

namespace lumora {

/// The CID with which this installation identifies itself to E1.31 receivers: made once,
/// then kept in the editor's settings (whichever program asks), so that a receiver sees the same source across runs.
QUuid installationCid();
QUuid installationCid(QSettings &store);

} // namespace lumora
