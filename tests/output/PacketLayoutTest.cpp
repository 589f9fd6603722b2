#include "OutputTestSupport.h"

#include "output/ArtNetEncoder.h"
#include "output/DdpEncoder.h"
#include "output/E131Encoder.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

const QUuid cid("{6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b}");

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

/// A frame whose every byte tells where it is, so that misplaced data shows.
QByteArray numberedFrame(int leds)
{
    QByteArray frame(3 * leds, '\0');
    for (int i = 0; i < frame.size(); ++i)
        frame[i] = char(i * 7 + i / 256);
    return frame;
}

} // namespace

TEST(DdpPackets, HeaderFollowsTheDefinition)
{
    DdpEncoder encoder(0x01020304);
    const QList<Packet> packets = encoder.encode(bytes({0xAA, 0xBB, 0xCC}));
    ASSERT_EQ(packets.size(), 1);
    // Version 1 and push, sequence 1, RGB 8 bit, display 1, offset and length big-endian.
    EXPECT_EQ(packets[0].bytes, bytes({0x41, 0x01, 0x0B, 0x01, 0x01, 0x02, 0x03, 0x04, 0x00, 0x03, 0xAA, 0xBB, 0xCC}));
}

TEST(E131Packets, HeaderFollowsTheDefinition)
{
    E131Encoder encoder(0x1234, cid, "Lumora test");
    const QByteArray p = encoder.encode(numberedFrame(170)).value(0).bytes;
    ASSERT_EQ(p.size(), 636); // 126 header bytes and 510 channels
    EXPECT_EQ(p.left(16), bytes({0x00, 0x10, 0x00, 0x00, 'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0}));
    EXPECT_EQ(p.mid(16, 6), bytes({0x72, 0x6C, 0x00, 0x00, 0x00, 0x04})); // 620 bytes from octet 16
    EXPECT_EQ(p.mid(22, 16), cid.toRfc4122());
    EXPECT_EQ(p.mid(38, 6), bytes({0x72, 0x56, 0x00, 0x00, 0x00, 0x02})); // 598 from octet 38
    EXPECT_EQ(p.mid(44, 64), QByteArray("Lumora test").leftJustified(64, '\0'));
    // Priority 100, no synchronisation, sequence 0, no options, universe 0x1234.
    EXPECT_EQ(p.mid(108, 7), bytes({100, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34}));
    // DMP: 521 from octet 115, set property, 0xA1, address 0, increment 1, 511 values, start code 0.
    EXPECT_EQ(p.mid(115, 11), bytes({0x72, 0x09, 0x02, 0xA1, 0x00, 0x00, 0x00, 0x01, 0x01, 0xFF, 0x00}));
    EXPECT_EQ(p.mid(126), numberedFrame(170));

    // A short universe's lengths count its own channels.
    const QByteArray one = E131Encoder(1, cid).encode(bytes({1, 2, 3})).value(0).bytes;
    ASSERT_EQ(one.size(), 129);
    EXPECT_EQ(one.mid(16, 2), bytes({0x70, 129 - 16}));
    EXPECT_EQ(one.mid(38, 2), bytes({0x70, 129 - 38}));
    EXPECT_EQ(one.mid(115, 2), bytes({0x70, 129 - 115}));
    EXPECT_EQ(one.mid(123, 2), bytes({0x00, 0x04}));
}

TEST(E131Packets, SourceNameIsCutAtWholeCharactersAndTerminated)
{
    const QString name = QString(62, 'x') + QString::fromUtf8("\u00e9\u00e9");
    const QByteArray field = E131Encoder(1, cid, name).encode(bytes({0, 0, 0})).value(0).bytes.mid(44, 64);
    EXPECT_EQ(field, (QByteArray(62, 'x') + QByteArray(2, '\0')));
}

TEST(E131Packets, MulticastGroupIsTheUniverse)
{
    EXPECT_EQ(E131Encoder::multicastAddress(1).toString(), "239.255.0.1");
    EXPECT_EQ(E131Encoder::multicastAddress(63999).toString(), "239.255.249.255");
}

TEST(ArtNetPackets, HeaderFollowsTheDefinition)
{
    ArtNetEncoder encoder(0x1234);
    const QByteArray p = encoder.encode(bytes({1, 2, 3})).value(0).bytes;
    // ID, OpDmx low byte first, version 14, sequence 1, physical 0, SubUni, Net, even length 4.
    EXPECT_EQ(p, bytes({'A', 'r', 't', '-', 'N', 'e', 't', 0, 0x00, 0x50, 0x00, 14, 1, 0, 0x34, 0x12, 0x00, 0x04,
                        1, 2, 3, 0}));
}

/// How each protocol splits frames: the number of datagrams, and the frame put back together.
TEST(PacketSplit, EveryLedArrivesOnceInItsPlace)
{
    struct Case {
        int leds, ddpPackets, universes;
    };
    const Case cases[] = {{1, 1, 1}, {170, 1, 1}, {171, 1, 2}, {480, 1, 3}, {481, 2, 3}, {2000, 5, 12}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.leds);
        const QByteArray frame = numberedFrame(c.leds);
        DdpEncoder ddp(0);
        E131Encoder e131(7, cid);
        ArtNetEncoder artnet(7);
        const QList<Packet> ddpPackets = ddp.encode(frame);
        const QList<Packet> e131Packets = e131.encode(frame);
        const QList<Packet> artnetPackets = artnet.encode(frame);
        ASSERT_EQ(ddpPackets.size(), c.ddpPackets);
        ASSERT_EQ(e131Packets.size(), c.universes);
        ASSERT_EQ(artnetPackets.size(), c.universes);

        for (qsizetype i = 0; i < ddpPackets.size(); ++i) {
            const QByteArray &p = ddpPackets[i].bytes;
            EXPECT_LE(p.size(), 10 + 1440);
            EXPECT_EQ(p[0] & 1, i + 1 == ddpPackets.size()) << "push on the last packet only";
        }
        for (qsizetype u = 0; u < e131Packets.size(); ++u) {
            EXPECT_EQ(e131Packets[u].universe, 7 + u);
            EXPECT_EQ(artnetPackets[u].universe, 7 + u);
            EXPECT_EQ(artnetPackets[u].bytes.size() % 2, 0);
            EXPECT_LE(artnetPackets[u].bytes.size(), 18 + 512);
        }
        auto bytesOf = [](const QList<Packet> &packets) {
            QList<QByteArray> list;
            for (const Packet &p : packets)
                list.append(p.bytes);
            return list;
        };
        EXPECT_EQ(framesOf(bytesOf(ddpPackets), OutputProtocol::Ddp, 0, frame.size()), QList{frame});
        EXPECT_EQ(framesOf(bytesOf(e131Packets), OutputProtocol::E131, 7, frame.size()), QList{frame});
        EXPECT_EQ(framesOf(bytesOf(artnetPackets), OutputProtocol::ArtNet, 7, frame.size()), QList{frame});
    }
}

TEST(PacketSequence, CountsAsEachProtocolDefines)
{
    const QByteArray frame = numberedFrame(481); // two DDP packets, three universes
    DdpEncoder ddp;
    QList<int> ddpSequence;
    for (int f = 0; f < 9; ++f)
        for (const Packet &p : ddp.encode(frame))
            ddpSequence.append(p.bytes[1]);
    // Per packet, 1 to 15, never 0.
    EXPECT_EQ(ddpSequence, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 2, 3}));

    E131Encoder e131(1, cid);
    ArtNetEncoder artnet(1);
    for (int f = 0; f < 300; ++f) {
        const QList<Packet> e = e131.encode(frame);
        const QList<Packet> a = artnet.encode(frame);
        for (int u = 0; u < 3; ++u) {
            // E1.31: every universe counts its own frames through all 256 values.
            EXPECT_EQ(static_cast<unsigned char>(e[u].bytes[111]), f % 256);
            // Art-Net: 1 to 255; 0 would switch sequencing off.
            EXPECT_EQ(static_cast<unsigned char>(a[u].bytes[12]), f % 255 + 1);
        }
    }
}

TEST(PacketSplit, StopsAtTheLastUniverse)
{
    EXPECT_EQ(E131Encoder(63999, cid).encode(numberedFrame(340)).size(), 1);
    EXPECT_EQ(ArtNetEncoder(32767).encode(numberedFrame(340)).size(), 1);
    OutputSettings settings;
    settings.protocol = OutputProtocol::E131;
    settings.universe = 63999;
    EXPECT_TRUE(settings.problem(170).isEmpty());
    EXPECT_FALSE(settings.problem(171).isEmpty());
}
