#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora {

/// Decodes arbitrary bytes as clipboard data, as a paste does; what decodes is encoded again
/// and must decode to the same positions. False when that round trip does not hold. Used by
/// the fuzzer and by the corpus replay test.
bool decodeNodesFuzzInput(const std::uint8_t *data, std::size_t size);

} // namespace lumora
