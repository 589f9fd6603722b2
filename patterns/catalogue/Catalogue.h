#pragma once

#include "../framework/ColorPattern.h"

#include <memory>
#include <vector>

namespace lumora {

using PatternFactory = std::unique_ptr<ColorPattern> (*)();

template <class Pattern>
std::unique_ptr<ColorPattern> makePattern()
{
    return std::make_unique<Pattern>();
}

/// Every pattern class, one factory each: the explicit table the registry is built from.
std::vector<PatternFactory> catalogue();

} // namespace lumora
