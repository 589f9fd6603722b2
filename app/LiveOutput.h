#pragma once

#include "document/DocumentModel.h"
#include "output/LedSender.h"
#include "output/OutputSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace lumora {

/// The live output of one document: it sends what the LEDs show to a controller (the frames
/// a colour source gave the preview in Preview and Colors modes, the marking source's red in
/// the editing modes), keeps the output settings of the document, and estimates the current
/// the LEDs draw while previewing. It reads the document model and the frames it is handed,
/// never a widget. The sending itself never blocks; errors are reported, never fatal.
class LiveOutput : public QObject {
    Q_OBJECT
public:
    /// `documentPath` names the document the settings are kept for (empty: untitled, the
    /// settings live in memory only).
    explicit LiveOutput(DocumentModel *model, const QString &documentPath = {}, QObject *parent = nullptr);

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

    /// Whether the LEDs show a colour source's frames (Preview, Colors) or the marking; a
    /// change starts a new peak.
    void setShowingColors(bool showing);
    bool isShowingColors() const { return m_showingColors; }
    /// A frame of the preview, three bytes r, g, b per LED as the exports encode colours: sent
    /// (at the output rate) and measured.
    void showFrame(const QByteArray &rgb);

    /// The colours the LEDs show now, three bytes r, g, b per LED.
    QByteArray currentFrame() const;
    /// The marked LEDs red, the others black.
    static QByteArray markingBytes(const DocumentModel &model);

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
    void editingChanged();
    void keepAlive();
    void send(const QByteArray &rgb);
    void sample();
    void noteCurrent(double milliamps);
    double period() const { return 1000.0 / m_settings.framesPerSecond; }

    DocumentModel *m_model;
    bool m_showingColors = false;
    /// The last frame shown in Preview or Colors.
    QByteArray m_shown;
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
