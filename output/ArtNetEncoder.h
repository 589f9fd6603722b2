#pragma once

#include "PacketEncoder.h"

#include <QHash>

namespace lumora {

/// Art-Net 4 ArtDmx packets (port 6454): 170 LEDs per universe in consecutive 15-bit
/// port-addresses, a sequence number (1..255) per port-address, an even data length.
class ArtNetEncoder : public PacketEncoder {
public:
    static constexpr int headerSize = 18;
    static constexpr quint16 opDmx = 0x5000;
    static constexpr int protocolVersion = 14;

    explicit ArtNetEncoder(int firstUniverse = 0);
    QList<Packet> encode(const QByteArray &frame) override;

private:
    int m_firstUniverse;
    QHash<int, quint8> m_sequences;
};

} // namespace lumora
