#pragma once

#include "OutputProtocol.h"

#include <QString>

#include <array>
#include <optional>

class QSettings;

namespace lumora {

/// The order in which a controller expects a LED's three colour bytes.
enum class ColorOrder { RGB, GRB, BRG, RBG, GBR, BGR };

/// The usual LED power model: each channel at full costs a set current, and every LED draws
/// a little even when dark.
struct PowerModel {
    double milliampsPerChannel = 20;
    double idleMilliampsPerLed = 1;

    bool operator==(const PowerModel &) const = default;
};

/// How one document's LEDs are driven: where the frames go, how their colours are prepared
/// and how fast they are sent. A value type; the editor keeps one per document and saves it
/// in the application's settings under the document's path.
struct OutputSettings {
    OutputProtocol protocol = OutputProtocol::Ddp;
    /// A name or address; empty with E1.31 sends to the universes' multicast groups.
    QString host;
    /// 0: the protocol's own port.
    int port = 0;
    /// The first universe (E1.31 1..63999, Art-Net port-address 0..32767).
    int universe = 1;
    /// DDP: the byte offset of the first LED in the controller's buffer.
    quint32 offset = 0;
    ColorOrder order = ColorOrder::RGB;
    /// 0..100 %.
    int brightness = 100;
    /// 1.0 (linear) .. 3.0.
    double gamma = 1.0;
    /// The most current the LEDs may draw, in mA; 0: no limit.
    double limitMilliamps = 0;
    PowerModel power;
    double framesPerSecond = 30;
    /// How long Frame ▸ Play shows each frame, in ms (10..60000).
    int frameDuration = 200;
    /// Send to LEDs, switched off, leaves the last frame on the LEDs instead of sending black.
    bool keepLastFrameLit = false;

    /// The port frames are sent to: the one given, else the protocol's own.
    int effectivePort() const;
    /// True when frames go to multicast groups rather than to a host.
    bool isMulticast() const { return describe(protocol).multicastGroup && host.isEmpty(); }
    /// A copy with every value brought into its range.
    OutputSettings clamped() const;
    /// Why `ledCount` LEDs cannot be sent with these settings (too many universes), or
    /// empty when they can.
    QString problem(qsizetype ledCount) const;

    /// The settings kept for the document (its absolute path is the key); the defaults when
    /// none are kept. The first form uses the application's settings.
    static OutputSettings load(const QString &documentPath);
    static OutputSettings load(QSettings &store, const QString &documentPath);
    void save(const QString &documentPath) const;
    void save(QSettings &store, const QString &documentPath) const;

    bool operator==(const OutputSettings &) const = default;
};

QString colorOrderName(ColorOrder order);
/// Case-insensitive "RGB", "GRB", ...; none for anything else.
std::optional<ColorOrder> colorOrderFromName(const QString &name);
/// For each output byte, which of r, g, b (0, 1, 2) it carries.
std::array<int, 3> colorOrderChannels(ColorOrder order);

} // namespace lumora
