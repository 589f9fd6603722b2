#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora {

/// Reads arbitrary bytes as a document, writes the result and reads that back: the path
/// every opened file takes. Used by the fuzzer and by the corpus replay test. False when
/// the written text did not read back cleanly (a false alarm of the reader).
bool readDocumentFuzzInput(const std::uint8_t *data, std::size_t size);

} // namespace lumora
