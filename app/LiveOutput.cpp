#include "LiveOutput.h"

#include "colors/MarkingColorSource.h"
#include "document/DocumentModel.h"
#include "output/FrameColors.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

QString milliamps(double mA)
{
    return QLocale().toString(qRound64(mA)) + " mA";
}

} // namespace

LiveOutput::LiveOutput(DocumentModel *model, const QString &documentPath, QObject *parent)
    : QObject(parent), m_model(model), m_documentPath(documentPath)
{
    if (!m_documentPath.isEmpty())
        m_settings = OutputSettings::load(m_documentPath);
    apply();

    connect(model, &DocumentModel::markingChanged, this, &LiveOutput::editingChanged);
    connect(model, &DocumentModel::ledsChanged, this, &LiveOutput::editingChanged);

    // The sender checks its settings as soon as it has them; only a user who is sending
    // needs to hear of a problem.
    connect(&m_sender, &LedSender::errorOccurred, this, [this](const QString &message) {
        if (m_sending)
            emit errorOccurred(message);
    });
    connect(&m_sender, &LedSender::frameSent, this, [this](int, double mA) { noteCurrent(mA); });

    connect(&m_keepAlive, &QTimer::timeout, this, &LiveOutput::keepAlive);
    m_sampler.setInterval(1000);
    connect(&m_sampler, &QTimer::timeout, this, &LiveOutput::sample);
    m_sampler.start();
}

void LiveOutput::setSettings(const OutputSettings &settings)
{
    m_settings = settings.clamped();
    if (m_documentPath.isEmpty())
        m_chosenUntitled = true;
    else
        m_settings.save(m_documentPath);
    apply();
}

void LiveOutput::setDocumentPath(const QString &documentPath)
{
    if (documentPath == m_documentPath || documentPath.isEmpty())
        return;
    const bool keep = !m_documentPath.isEmpty() || m_chosenUntitled;
    m_documentPath = documentPath;
    m_chosenUntitled = false;
    if (keep) {
        m_settings.save(m_documentPath);
        return;
    }
    m_settings = OutputSettings::load(m_documentPath);
    apply();
}

void LiveOutput::apply()
{
    m_sender.setSettings(m_settings);
    m_keepAlive.setInterval(int(std::lround(period())));
    if (const QString problem = m_settings.problem(m_model->ledCount()); m_sending && !problem.isEmpty())
        emit errorOccurred(problem);
    emit settingsChanged();
}

void LiveOutput::setSending(bool sending)
{
    if (sending == m_sending)
        return;
    m_sending = sending;
    if (sending) {
        m_packetsAtSample = m_sender.packetsSent();
        m_packetsPerSecond = 0;
        if (const QString problem = m_settings.problem(m_model->ledCount()); !problem.isEmpty())
            emit errorOccurred(problem);
        if (m_settings.host.isEmpty() && !m_settings.isMulticast())
            emit errorOccurred(tr("no host to send to: choose one in Output ▸ Settings…"));
        m_keepAlive.start(int(std::lround(period())));
        send(currentFrame());
    } else {
        m_keepAlive.stop();
        // Like `lumora-cli play`: the LEDs go dark unless asked to keep the last frame.
        if (!m_settings.keepLastFrameLit && m_sender.isReady())
            send(QByteArray(3 * m_model->ledCount(), '\0'));
    }
    emit sendingChanged(sending);
    sample();
}

void LiveOutput::setShowingColors(bool showing)
{
    // A new mode starts a new peak.
    m_previewing = false;
    m_showingColors = showing;
}

QByteArray LiveOutput::currentFrame() const
{
    if (!m_showingColors)
        return markingBytes(*m_model);
    // LEDs added since the last frame are dark until the next.
    QByteArray rgb = m_shown;
    rgb.resize(3 * m_model->ledCount(), '\0');
    return rgb;
}

QByteArray LiveOutput::markingBytes(const DocumentModel &model)
{
    FrameContext context;
    context.leds = model.ledPositions();
    context.marking = model.marking();
    return MarkingColorSource().bytes(context);
}

bool LiveOutput::isPreviewing() const
{
    return m_previewing && m_showingColors;
}

void LiveOutput::showFrame(const QByteArray &rgb)
{
    ++m_ticks;
    if (!m_previewing) {
        m_previewing = true;
        m_peakMilliamps = 0;
    }
    m_shown = rgb;
    // The preview ticks 30 times a second; a slower output rate leaves ticks out (a small
    // allowance, as the ticks themselves jitter).
    if (m_sending && (!m_sinceSend.isValid() || m_sinceSend.elapsed() >= period() - 3)) {
        send(rgb);
        return;
    }
    if (!m_sending) {
        double mA = 0;
        outputFrame(rgb, m_settings, &mA);
        noteCurrent(mA);
    }
}

void LiveOutput::editingChanged()
{
    if (!m_sending || m_showingColors)
        return;
    send(markingBytes(*m_model));
    // The next periodic frame a whole period after this one.
    m_keepAlive.start();
}

void LiveOutput::keepAlive()
{
    // Controllers fall back to their own effects when frames stop; in Preview the ticks
    // carry the frames unless they stalled (no pattern, say).
    if (m_showingColors && m_sinceSend.isValid() && m_sinceSend.elapsed() < 2 * period())
        return;
    send(currentFrame());
}

void LiveOutput::send(const QByteArray &rgb)
{
    m_sinceSend.start();
    m_sender.sendFrame(rgb);
}

void LiveOutput::noteCurrent(double mA)
{
    m_milliamps = mA;
    if (isPreviewing())
        m_peakMilliamps = std::max(m_peakMilliamps, mA);
}

void LiveOutput::sample()
{
    const quint64 packets = m_sender.packetsSent();
    m_packetsPerSecond = double(packets - m_packetsAtSample);
    m_packetsAtSample = packets;
    if (m_ticks == m_ticksAtSample)
        m_previewing = false;
    m_ticksAtSample = m_ticks;

    const QString text = indicatorText();
    if (text != m_indicator) {
        m_indicator = text;
        emit indicatorChanged(text);
    }
}

QString LiveOutput::indicatorText() const
{
    const bool previewing = isPreviewing();
    if (!m_sending && !previewing)
        return {};
    // The supply has to carry the highest current seen, which the peak is while previewing.
    const double needed = previewing ? std::max(m_peakMilliamps, m_milliamps) : m_milliamps;
    QString text = milliamps(m_milliamps);
    if (previewing)
        text += tr(", peak %1").arg(milliamps(m_peakMilliamps));
    text += tr(" (5 V supply: %1 A)").arg(needed / 1000, 0, 'f', 1);
    if (m_sending)
        text = tr("Output: %1 packets/s, ").arg(qRound64(m_packetsPerSecond)) + text;
    return text;
}

} // namespace lumora
