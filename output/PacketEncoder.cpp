#include "PacketEncoder.h"

#include "ArtNetEncoder.h"
#include "DdpEncoder.h"
#include "E131Encoder.h"

#include <algorithm>

namespace lumora {

void appendBigEndian16(QByteArray &out, quint16 value)
{
    out += char(value >> 8);
    out += char(value & 0xFF);
}

void appendBigEndian32(QByteArray &out, quint32 value)
{
    appendBigEndian16(out, quint16(value >> 16));
    appendBigEndian16(out, quint16(value & 0xFFFF));
}

QList<UniverseSlice> universeSlices(qsizetype frameBytes, int first, OutputProtocol protocol)
{
    QList<UniverseSlice> slices;
    const qsizetype perUniverse = 3 * ledsPerUniverse;
    for (qsizetype start = 0; start < frameBytes; start += perUniverse) {
        const int universe = first + int(slices.size());
        if (universe > maximumUniverse(protocol))
            break;
        slices.append({universe, start, std::min(perUniverse, frameBytes - start)});
    }
    return slices;
}

std::unique_ptr<PacketEncoder> makePacketEncoder(const OutputSettings &settings, const QUuid &cid)
{
    switch (settings.protocol) {
    case OutputProtocol::Ddp: return std::make_unique<DdpEncoder>(settings.offset);
    case OutputProtocol::E131: return std::make_unique<E131Encoder>(settings.universe, cid);
    case OutputProtocol::ArtNet: return std::make_unique<ArtNetEncoder>(settings.universe);
    }
    return nullptr;
}

} // namespace lumora
