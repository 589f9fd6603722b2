#pragma once

#include "output/OutputSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

#include <functional>

/// Sockets and timers need an application object; the suites run without one otherwise.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "output_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

/// A UDP receiver on 127.0.0.1 at a port of its own: the only address the tests send to.
class LoopbackReceiver {
public:
    LoopbackReceiver()
    {
        ensureApplication();
        m_socket.bind(QHostAddress::LocalHost, 0);
        m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4 << 20));
    }
    quint16 port() const { return m_socket.localPort(); }

    /// Datagrams as they arrive, until `count` have or `finished` says the sender is done
    /// and nothing more comes; never longer than 30 s. `poll` runs between waits.
    QList<QByteArray> receive(qsizetype count, const std::function<bool()> &finished = {},
                              const std::function<void()> &poll = {})
    {
        QList<QByteArray> datagrams;
        QDeadlineTimer deadline(30000);
        while (datagrams.size() < count && !deadline.hasExpired()) {
            if (poll)
                poll();
            QCoreApplication::processEvents();
            if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(20)) {
                if (finished && finished() && !m_socket.hasPendingDatagrams())
                    break;
                continue;
            }
            while (m_socket.hasPendingDatagrams())
                datagrams.append(m_socket.receiveDatagram().data());
        }
        return datagrams;
    }

private:
    QUdpSocket m_socket;
};

/// Where a datagram's LED bytes belong in the frame, and whether it completes the frame
/// (DDP's push flag; for the universe protocols, the universe `lastUniverse`).
struct Payload {
    qsizetype position = -1;
    QByteArray data;
    bool endsFrame = false;
};

inline int bigEndian(const QByteArray &bytes, qsizetype at, int size)
{
    int value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline Payload payloadOf(const QByteArray &packet, lumora::OutputProtocol protocol, int firstUniverse,
                         int lastUniverse)
{
    using lumora::OutputProtocol;
    Payload p;
    if (protocol == OutputProtocol::Ddp && packet.size() >= 10) {
        p.position = bigEndian(packet, 4, 4);
        p.data = packet.mid(10, bigEndian(packet, 8, 2));
        p.endsFrame = packet[0] & 1;
    } else if (protocol == OutputProtocol::E131 && packet.size() >= 126) {
        const int universe = bigEndian(packet, 113, 2);
        p.position = 510 * qsizetype(universe - firstUniverse);
        p.data = packet.mid(126, bigEndian(packet, 123, 2) - 1);
        p.endsFrame = universe == lastUniverse;
    } else if (protocol == OutputProtocol::ArtNet && packet.size() >= 18) {
        const int universe = static_cast<unsigned char>(packet[14]) | (packet[15] & 0x7F) << 8;
        p.position = 510 * qsizetype(universe - firstUniverse);
        p.data = packet.mid(18, bigEndian(packet, 16, 2));
        p.endsFrame = universe == lastUniverse;
    }
    return p;
}

/// Puts received datagrams back together into frames of `frameBytes` bytes (Art-Net's
/// padding byte dropped).
inline QList<QByteArray> framesOf(const QList<QByteArray> &datagrams, lumora::OutputProtocol protocol,
                                  int firstUniverse, qsizetype frameBytes)
{
    const int lastUniverse = firstUniverse + int((frameBytes + 509) / 510) - 1;
    QList<QByteArray> frames;
    QByteArray frame(frameBytes, '\0');
    for (const QByteArray &datagram : datagrams) {
        const Payload p = payloadOf(datagram, protocol, firstUniverse, lastUniverse);
        if (p.position >= 0 && p.position < frameBytes) {
            const qsizetype n = std::min(p.data.size(), frameBytes - p.position);
            frame.replace(p.position, n, p.data.left(n));
        }
        if (p.endsFrame) {
            frames.append(frame);
            frame.fill('\0');
        }
    }
    return frames;
}
