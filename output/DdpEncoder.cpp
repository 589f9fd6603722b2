#include "DdpEncoder.h"

#include <algorithm>

namespace lumora {

DdpEncoder::DdpEncoder(quint32 offset)
    : m_offset(offset)
{
}

QList<Packet> DdpEncoder::encode(const QByteArray &frame)
{
    QList<Packet> packets;
    for (qsizetype start = 0; start < frame.size(); start += maximumData) {
        const qsizetype length = std::min<qsizetype>(maximumData, frame.size() - start);
        const bool last = start + length == frame.size();
        m_sequence = m_sequence % 15 + 1;
        QByteArray bytes;
        bytes.reserve(headerSize + length);
        bytes += char(version1 | (last ? push : 0));
        bytes += char(m_sequence);
        bytes += char(rgb8);
        bytes += char(display);
        appendBigEndian32(bytes, m_offset + quint32(start));
        appendBigEndian16(bytes, quint16(length));
        bytes.append(frame.constData() + start, length);
        packets.append({bytes, 0});
    }
    return packets;
}

} // namespace lumora
