#pragma once

#include "OutputSettings.h"

namespace lumora {

/// Reads a target in one of the protocols' forms ("ddp://HOST[:PORT][?offset=B]",
/// "e131://[HOST][:PORT][?universe=U]", ...) into the settings' protocol, host, port,
/// universe and offset (the rest stays). A protocol with multicast groups needs no host.
/// False, with a message, for anything else.
bool parseOutputTarget(const QString &target, OutputSettings &settings, QString *error = nullptr);

/// The target as parseOutputTarget reads it, for messages and the settings dialog.
QString outputTarget(const OutputSettings &settings);

} // namespace lumora
