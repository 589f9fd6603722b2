#pragma once

#include "OutputSettings.h"
#include "PacketEncoder.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QUdpSocket;

namespace lumora {

/// Streams frames of LED colours to a controller over UDP. It prepares each frame by the
/// settings (levels, current limit, colour order), splits it into the protocol's datagrams
/// and writes them without blocking. The host is resolved in the background; until then
/// frames are dropped and counted. Resolution and network errors are reported through
/// errorOccurred and never stop the sender. Lives on the thread that uses it.
class LedSender : public QObject {
    Q_OBJECT
public:
    explicit LedSender(QObject *parent = nullptr);
    ~LedSender() override;

    /// Starts over with new settings (a new encoder and, when the host changed, a new look-up).
    void setSettings(const OutputSettings &settings);
    const OutputSettings &settings() const { return m_settings; }
    /// The CID E1.31 packets carry (the installation's own unless set).
    void setCid(const QUuid &cid);

    /// True once the destination is known.
    bool isReady() const { return m_ready; }

    /// Sends one frame now: three bytes r, g, b per LED, in LED order.
    void sendFrame(const QByteArray &rgb);

    /// Sends frames taken from `source` at the settings' rate until stop().
    void start(std::function<QByteArray()> source);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    quint64 framesSent() const { return m_framesSent; }
    quint64 packetsSent() const { return m_packetsSent; }
    /// Frames not sent because the destination was not known yet or a write failed.
    quint64 framesDropped() const { return m_framesDropped; }
    /// The estimated current of the last frame sent, in mA.
    double lastMilliamps() const { return m_lastMilliamps; }

signals:
    /// The destination is known; frames go out from now on.
    void ready();
    void errorOccurred(const QString &message);
    /// After each frame: its packets and the estimated current it draws.
    void frameSent(int packets, double milliamps);

private:
    void resolve();
    void tick();
    void report(const QString &message);

    OutputSettings m_settings;
    QUuid m_cid;
    std::unique_ptr<PacketEncoder> m_encoder;
    QUdpSocket *m_socket;
    QHostAddress m_address;
    bool m_ready = false;
    int m_lookupId = -1;
    int m_lookupGeneration = 0;
    QString m_lastError;

    std::function<QByteArray()> m_source;
    QTimer m_timer;
    QElapsedTimer m_clock;
    quint64 m_ticks = 0;

    quint64 m_framesSent = 0;
    quint64 m_packetsSent = 0;
    quint64 m_framesDropped = 0;
    double m_lastMilliamps = 0;
};

} // namespace lumora
