#include "LedSender.h"

#include "FrameColors.h"
#include "InstallationId.h"

#include <QHostInfo>
#include <QUdpSocket>

#include <cmath>

namespace lumora {

LedSender::LedSender(QObject *parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LedSender::tick);
    m_encoder = makePacketEncoder(m_settings, m_cid);
}

// A lookup still under way finishes on its own; its answer is dropped with this object (it
// is Qt that ties the callback to it). Aborting it would leak the callback in this Qt.
LedSender::~LedSender() = default;

void LedSender::setCid(const QUuid &cid)
{
    m_cid = cid;
    m_encoder = makePacketEncoder(m_settings, m_cid);
}

void LedSender::setSettings(const OutputSettings &settings)
{
    const bool sameHost = m_ready && settings.host == m_settings.host
        && settings.isMulticast() == m_settings.isMulticast();
    m_settings = settings.clamped();
    if (m_cid.isNull() && describe(m_settings.protocol).carriesSourceId)
        m_cid = installationCid();
    m_encoder = makePacketEncoder(m_settings, m_cid);
    m_lastError.clear();
    if (!sameHost)
        resolve();
    if (isRunning())
        start(m_source);
}

void LedSender::resolve()
{
    // A lookup still under way is left to finish and its answer ignored: aborting it would
    // leak its callback in this Qt.
    const int generation = ++m_lookupGeneration;
    m_lookupId = -1;
    m_ready = false;
    m_address.clear();
    if (m_settings.isMulticast() || m_address.setAddress(m_settings.host)) {
        m_ready = true;
        // Let the caller connect to ready() first.
        QMetaObject::invokeMethod(this, &LedSender::ready, Qt::QueuedConnection);
        return;
    }
    if (m_settings.host.isEmpty()) {
        report("no host to send to");
        return;
    }
    // Names under .invalid never exist (RFC 6761); no resolver needs asking.
    if (m_settings.host.endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive)) {
        report(QString("cannot find host %1: no such host").arg(m_settings.host));
        return;
    }
    m_lookupId = QHostInfo::lookupHost(m_settings.host, this, [this, generation](const QHostInfo &info) {
        if (generation != m_lookupGeneration)
            return;
        m_lookupId = -1;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            report(QString("cannot find host %1: %2").arg(m_settings.host, info.errorString()));
            return;
        }
        // Prefer IPv4: controllers rarely speak IPv6.
        m_address = info.addresses().first();
        for (const QHostAddress &address : info.addresses())
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                m_address = address;
                break;
            }
        m_ready = true;
        emit ready();
    });
}

void LedSender::report(const QString &message)
{
    // A broken network fails every frame; say so once, not thirty times a second.
    if (message == m_lastError)
        return;
    m_lastError = message;
    emit errorOccurred(message);
}

void LedSender::sendFrame(const QByteArray &rgb)
{
    if (!m_ready || !m_encoder) {
        ++m_framesDropped;
        return;
    }
    double milliamps = 0;
    const QList<Packet> packets = m_encoder->encode(outputFrame(rgb, m_settings, &milliamps));
    const quint16 port = quint16(m_settings.effectivePort());
    int written = 0;
    for (const Packet &packet : packets) {
        const QHostAddress to = m_settings.isMulticast() ? describe(m_settings.protocol).multicastGroup(packet.universe)
                                                         : m_address;
        if (m_socket->writeDatagram(packet.bytes, to, port) == packet.bytes.size())
            ++written;
        else
            report(QString("cannot send to %1 port %2: %3").arg(to.toString()).arg(port).arg(m_socket->errorString()));
    }
    m_packetsSent += written;
    if (written < packets.size()) {
        ++m_framesDropped;
        return;
    }
    m_lastError.clear();
    ++m_framesSent;
    m_lastMilliamps = milliamps;
    emit frameSent(written, milliamps);
}

void LedSender::start(std::function<QByteArray()> source)
{
    m_source = std::move(source);
    m_ticks = 0;
    m_clock.start();
    m_timer.start(0);
}

void LedSender::stop()
{
    m_timer.stop();
}

void LedSender::tick()
{
    if (m_source)
        sendFrame(m_source());
    ++m_ticks;
    // Frames are due at fixed times from the start, so the rate holds on average even when
    // a frame or the event loop is late; a frame that is too late is not made up.
    const double period = 1000.0 / m_settings.framesPerSecond;
    const double due = m_ticks * period - double(m_clock.elapsed());
    if (due < -period) {
        m_ticks = quint64(std::ceil(m_clock.elapsed() / period));
        m_timer.start(0);
        return;
    }
    m_timer.start(std::max(0, int(std::lround(due))));
}

} // namespace lumora
