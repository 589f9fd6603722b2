#pragma once

namespace lumora {

/// Sends the editor's diagnostic lines (the timeline's "from to" on every frame move) to
/// the system log instead of the terminal; every other message goes where it went before.
void routeDiagnosticsToSystemLog();

} // namespace lumora
