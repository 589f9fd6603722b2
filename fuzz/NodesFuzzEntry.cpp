#include "NodesFuzzEntry.h"

#include "document/NodesCodec.h"

namespace lumora {

bool decodeNodesFuzzInput(const std::uint8_t *data, std::size_t size)
{
    const auto positions = decodeNodes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!positions)
        return true;
    return decodeNodes(encodeNodes(*positions)) == positions;
}

} // namespace lumora
