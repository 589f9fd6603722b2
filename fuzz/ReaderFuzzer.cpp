// libFuzzer target for the document reader (configure with -DLUMORA_FUZZ=ON and clang).
#include "ReaderFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!lumora::readDocumentFuzzInput(data, size))
        __builtin_trap();
    return 0;
}
