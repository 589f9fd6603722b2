// libFuzzer target for the clipboard decoder (configure with -DLUMORA_FUZZ=ON and clang).
#include "NodesFuzzEntry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!lumora::decodeNodesFuzzInput(data, size))
        std::abort();
    return 0;
}
