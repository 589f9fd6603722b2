#pragma once

#include "OutputSettings.h"

namespace lumora {

/// Reads a target "ddp://HOST[:PORT][?offset=B]", "e131://[HOST][:PORT][?universe=U]" or
/// "artnet://HOST[:PORT][?universe=U]" into the settings' protocol, host, port, universe
/// and offset (the rest stays). E1.31 without a host multicasts. False, with a message,
/// for anything else.
bool parseOutputTarget(const QString &target, OutputSettings &settings, QString *error = nullptr);

/// The target as parseOutputTarget reads it, for messages and the settings dialog.
QString outputTarget(const OutputSettings &settings);

} // namespace lumora
