#include "PacketEncoder.h"

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

QList<UniverseSlice> universeSlices(qsizetype frameBytes, int first, const ProtocolDescriptor &protocol)
{
    QList<UniverseSlice> slices;
    const qsizetype perUniverse = protocol.channelsPerUniverse;
    for (qsizetype start = 0; start < frameBytes; start += perUniverse) {
        const int universe = first + int(slices.size());
        if (universe > protocol.highestUniverse)
            break;
        slices.append({universe, start, std::min(perUniverse, frameBytes - start)});
    }
    return slices;
}

std::unique_ptr<PacketEncoder> makePacketEncoder(const OutputSettings &settings, const QUuid &cid)
{
    return describe(settings.protocol).makeEncoder(settings, cid);
}

} // namespace lumora
