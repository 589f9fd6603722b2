#pragma once

#include "PacketEncoder.h"

#include <QHash>
#include <QHostAddress>

namespace lumora {

/// E1.31 (streaming ACN, port 5568) data packets: the root, framing and DMP layers, 170 LEDs
/// per universe in consecutive universes, a sequence number per universe.
class E131Encoder : public PacketEncoder {
public:
    static constexpr int headerSize = 126;
    static constexpr int priority = 100;

    E131Encoder(int firstUniverse, const QUuid &cid, const QString &sourceName = "Lumora");
    QList<Packet> encode(const QByteArray &frame) override;

    /// The group a universe is multicast to: 239.255.hi.lo.
    static QHostAddress multicastAddress(int universe);

private:
    int m_firstUniverse;
    QByteArray m_cid;
    QByteArray m_sourceName;
    QHash<int, quint8> m_sequences;
};

} // namespace lumora
