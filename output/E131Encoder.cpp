#include "E131Encoder.h"

namespace lumora {

namespace {

constexpr char acnPacketIdentifier[12] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};
constexpr quint32 vectorRootE131Data = 0x00000004;
constexpr quint32 vectorE131DataPacket = 0x00000002;
constexpr char vectorDmpSetProperty = 0x02;
constexpr char addressAndDataType = char(0xA1);
constexpr int sourceNameSize = 64;

/// A PDU's flags and length: 0x7 in the top four bits, the length from `from` to the end.
quint16 flagsAndLength(qsizetype packetSize, int from)
{
    return quint16(0x7000 | ((packetSize - from) & 0x0FFF));
}

} // namespace

E131Encoder::E131Encoder(int firstUniverse, const QUuid &cid, const QString &sourceName)
    : m_firstUniverse(firstUniverse)
    , m_cid(cid.toRfc4122())
{
    // The name is null-terminated in its 64 bytes; shorten it by whole characters.
    QString name = sourceName;
    while (name.toUtf8().size() > sourceNameSize - 1)
        name.chop(1);
    m_sourceName = name.toUtf8();
    m_sourceName.resize(sourceNameSize, '\0');
}

QHostAddress E131Encoder::multicastAddress(int universe)
{
    return QHostAddress(quint32(0xEFFF0000u | (quint32(universe) & 0xFFFF)));
}

QList<Packet> E131Encoder::encode(const QByteArray &frame)
{
    QList<Packet> packets;
    for (const auto [universe, start, channels] : universeSlices(frame.size(), m_firstUniverse, describe(OutputProtocol::E131))) {
        const qsizetype size = headerSize + channels;
        quint8 &sequence = m_sequences[universe];

        QByteArray bytes;
        bytes.reserve(size);
        // Root layer
        appendBigEndian16(bytes, 0x0010);
        appendBigEndian16(bytes, 0x0000);
        bytes.append(acnPacketIdentifier, sizeof acnPacketIdentifier);
        appendBigEndian16(bytes, flagsAndLength(size, 16));
        appendBigEndian32(bytes, vectorRootE131Data);
        bytes += m_cid;
        // Framing layer
        appendBigEndian16(bytes, flagsAndLength(size, 38));
        appendBigEndian32(bytes, vectorE131DataPacket);
        bytes += m_sourceName;
        bytes += char(priority);
        appendBigEndian16(bytes, 0); // no synchronisation universe
        bytes += char(sequence++);
        bytes += char(0); // options: not preview data, not terminated
        appendBigEndian16(bytes, quint16(universe));
        // DMP layer
        appendBigEndian16(bytes, flagsAndLength(size, 115));
        bytes += vectorDmpSetProperty;
        bytes += addressAndDataType;
        appendBigEndian16(bytes, 0x0000); // first property address
        appendBigEndian16(bytes, 0x0001); // address increment
        appendBigEndian16(bytes, quint16(channels + 1));
        bytes += char(0); // DMX start code
        bytes.append(frame.constData() + start, channels);
        packets.append({bytes, universe});
    }
    return packets;
}

} // namespace lumora
