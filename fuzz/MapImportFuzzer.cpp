// libFuzzer target for the LED map importers (configure with -DLUMORA_FUZZ=ON and clang).
#include "MapImportFuzzEntry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!lumora::importMapFuzzInput(data, size))
        std::abort();
    return 0;
}
