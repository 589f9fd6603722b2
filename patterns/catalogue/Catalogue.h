#pragma once

#include "../framework/PatternRegistry.h"

#include <vector>

namespace lumora {

/// Every pattern class, one factory each: the explicit table registries are built from.
std::vector<PatternFactory> catalogue();

/// A registry of every built-in pattern, sorted by name. Each owner builds its own.
PatternRegistry builtInPatterns();

} // namespace lumora
