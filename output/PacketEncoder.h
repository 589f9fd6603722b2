#pragma once

#include "OutputSettings.h"

#include <QByteArray>
#include <QList>
#include <QUuid>

#include <memory>

namespace lumora {

/// One datagram of a frame, with the universe it carries (E1.31 multicast sends each
/// universe to its own group; 0 for DDP).
struct Packet {
    QByteArray bytes;
    int universe = 0;
};

/// Turns frames of LED bytes (three per LED, already in the controller's colour order) into
/// the datagrams of one protocol. It keeps the sequence numbers, so one encoder serves one
/// stream of frames.
class PacketEncoder {
public:
    virtual ~PacketEncoder() = default;
    virtual QList<Packet> encode(const QByteArray &frame) = 0;
};

/// The encoder for the settings' protocol, first universe and offset. `cid` identifies this
/// installation to receivers that ask (E1.31).
std::unique_ptr<PacketEncoder> makePacketEncoder(const OutputSettings &settings, const QUuid &cid);

/// The part of a frame one universe carries.
struct UniverseSlice {
    int universe;
    qsizetype start;
    qsizetype channels;
};
/// How a frame of `frameBytes` fills the protocol's consecutive universes from `first`; what
/// lies beyond its last universe is left out.
QList<UniverseSlice> universeSlices(qsizetype frameBytes, int first, const ProtocolDescriptor &protocol);

/// Appends a big-endian 16- or 32-bit value.
void appendBigEndian16(QByteArray &out, quint16 value);
void appendBigEndian32(QByteArray &out, quint32 value);

} // namespace lumora
