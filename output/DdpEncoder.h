#pragma once

#include "PacketEncoder.h"

namespace lumora {

/// DDP (Distributed Display Protocol, port 4048): a 10-byte header and at most 1,440 bytes
/// (480 LEDs) of 8-bit RGB per packet; the push flag on the last packet of a frame tells the
/// controller to show it.
class DdpEncoder : public PacketEncoder {
public:
    static constexpr int headerSize = 10;
    static constexpr int maximumData = 1440;
    static constexpr unsigned char version1 = 0x40;
    static constexpr unsigned char push = 0x01;
    static constexpr unsigned char rgb8 = 0x0B;
    static constexpr unsigned char display = 0x01;

    /// `offset`: where the first LED's bytes go in the controller's buffer.
    explicit DdpEncoder(quint32 offset = 0);
    QList<Packet> encode(const QByteArray &frame) override;

private:
    quint32 m_offset;
    /// 1..15, counting packets; 0 would mean "not used".
    int m_sequence = 0;
};

} // namespace lumora
