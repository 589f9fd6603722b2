#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora {

/// Imports arbitrary bytes as an LED map, as File ▸ Import LED Map and `lumora-cli import` do.
/// The first byte chooses the format (recognised from the content, or one of the importable
/// formats) and whether y is flipped; the rest is the map. False when an import that
/// succeeded breaks its promise: every LED a finite point inside the layout space and a
/// proposed grid made of finite points. Used by the fuzzer and by the corpus replay test.
bool importMapFuzzInput(const std::uint8_t *data, std::size_t size);

} // namespace lumora
