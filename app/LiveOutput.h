#pragma once

#include "document/DocumentModel.h"
#include "output/LedSender.h"
#include "output/OutputSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace lumora {

class View;

/// The live output of one document window: it sends what the LEDs show to a controller
/// (the preview's colours in Preview and Colors modes, the marked LEDs red in the editing
/// modes), keeps the output settings of the document, and estimates the current the LEDs
/// draw while previewing. The sending itself never blocks; errors are reported, never fatal.
class LiveOutput : public QObject {
    Q_OBJECT
public:
    /// `documentPath` names the document the settings are kept for (empty: untitled, the
    /// settings live in memory only).
    explicit LiveOutput(View *view, const QString &documentPath = {}, QObject *parent = nullptr);

    const OutputSettings &settings() const { return m_settings; }
    /// Takes new settings and keeps them for the document.
    void setSettings(const OutputSettings &settings);
    /// The document got its path (opened) or a new one (saved as): a document that had
    /// none takes the settings kept for the path unless some were chosen for it, which,
    /// like the settings of a document saved under another name, go with it.
    void setDocumentPath(const QString &documentPath);

    bool isSending() const { return m_sending; }
    void setSending(bool sending);
    const LedSender &sender() const { return m_sender; }

    /// The colours the LEDs show now, three bytes r, g, b per LED.
    QByteArray currentFrame() const;
    /// Each LED's displayed colour as the exports encode it (premultiplied; none: black).
    static QByteArray fillBytes(const QList<NodePtr> &leds);
    /// The marked LEDs red, the others black.
    static QByteArray markingBytes(const QList<NodePtr> &leds);

    /// The status bar's text: packets per second and current while sending, current and
    /// peak while previewing, empty otherwise.
    QString indicatorText() const;
    double peakMilliamps() const { return m_peakMilliamps; }

signals:
    void indicatorChanged(const QString &text);
    void errorOccurred(const QString &message);
    void sendingChanged(bool sending);
    /// The settings were set or read for a new path.
    void settingsChanged();

private:
    /// The settings to the sender and the timers.
    void apply();
    bool isPreviewing() const;
    void previewTicked();
    void editingChanged();
    void keepAlive();
    void send(const QByteArray &rgb);
    void sample();
    void noteCurrent(double milliamps);
    double period() const { return 1000.0 / m_settings.framesPerSecond; }

    View *m_view;
    QString m_documentPath;
    OutputSettings m_settings;
    /// Settings were chosen while the document had no path.
    bool m_chosenUntitled = false;
    LedSender m_sender;
    bool m_sending = false;

    /// Sends the editing modes' frame at the output rate, and keeps a stalled preview alive.
    QTimer m_keepAlive;
    QElapsedTimer m_sinceSend;

    /// Once a second: packets per second and the estimate in the status bar.
    QTimer m_sampler;
    quint64 m_packetsAtSample = 0;
    double m_packetsPerSecond = 0;
    quint64 m_ticks = 0;
    quint64 m_ticksAtSample = 0;
    bool m_previewing = false;
    double m_milliamps = 0;
    double m_peakMilliamps = 0;
    QString m_indicator;
};

} // namespace lumora
