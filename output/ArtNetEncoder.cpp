#include "ArtNetEncoder.h"

namespace lumora {

ArtNetEncoder::ArtNetEncoder(int firstUniverse)
    : m_firstUniverse(firstUniverse)
{
}

QList<Packet> ArtNetEncoder::encode(const QByteArray &frame)
{
    QList<Packet> packets;
    for (const auto [universe, start, channels] : universeSlices(frame.size(), m_firstUniverse, describe(OutputProtocol::ArtNet))) {
        // The data length must be even; the padding channel is dark.
        const qsizetype length = channels + (channels & 1);
        // Sequence 0 would switch reordering off at the receiver.
        quint8 &sequence = m_sequences[universe];
        sequence = sequence == 255 ? 1 : sequence + 1;

        QByteArray bytes("Art-Net", 8);
        bytes.reserve(headerSize + length);
        bytes += char(opDmx & 0xFF); // OpCode, low byte first
        bytes += char(opDmx >> 8);
        appendBigEndian16(bytes, protocolVersion);
        bytes += char(sequence);
        bytes += char(0); // physical input port
        bytes += char(universe & 0xFF); // SubUni: sub-net and universe
        bytes += char((universe >> 8) & 0x7F); // Net
        appendBigEndian16(bytes, quint16(length));
        bytes.append(frame.constData() + start, channels);
        if (length > channels)
            bytes += char(0);
        packets.append({bytes, universe});
    }
    return packets;
}

} // namespace lumora
