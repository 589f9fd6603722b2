#pragma once

namespace lumora {

/// The outlines of the nodes that are not LEDs: the grid's handles, the duplicate markers,
/// the rubberband.
enum class NodeShape { Cross, ChevronX, ChevronY, Rectangle };

} // namespace lumora
