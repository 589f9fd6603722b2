#pragma once

#include "OutputSettings.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace lumora {

/// The current a frame draws: three bytes r, g, b per LED, in mA.
double frameMilliamps(QByteArrayView rgb, const PowerModel &model);

/// The 256 output levels of brightness (0..100 %) and gamma (out = 255 · (in/255)^gamma ·
/// brightness/100, rounded). Brightness 100 and gamma 1 leave every level as it is.
std::array<unsigned char, 256> levelTable(int brightness, double gamma);

/// Scales the frame down, channel by channel, until it draws at most `limitMilliamps` (the
/// idle current of the LEDs cannot be scaled away: a limit below it leaves the LEDs dark).
/// A limit of 0 or a frame within the limit is left as it is.
void limitCurrent(QByteArray &rgb, double limitMilliamps, const PowerModel &model);

/// Puts each LED's bytes in the controller's order.
void reorderColors(QByteArray &rgb, ColorOrder order);

/// What the LEDs receive for a frame of pattern colours: levels, then the current limit,
/// then the colour order. `milliamps`, when given, receives the current the result draws.
QByteArray outputFrame(const QByteArray &rgb, const OutputSettings &settings, double *milliamps = nullptr);

/// The current over a sequence of frames, as the power estimate shows it.
struct PowerEstimate {
    double peakMilliamps = 0;
    double meanMilliamps = 0;
    qsizetype peakFrame = 0;

    /// The supply that carries the peak at 5 V, in A and W.
    double supplyAmps() const { return peakMilliamps / 1000; }
    double supplyWatts() const { return 5 * supplyAmps(); }
};

/// The estimate over `frames` consecutive frames of `leds` LEDs each (r, g, b bytes).
PowerEstimate estimatePower(const QByteArray &frames, qsizetype leds, const PowerModel &model);

} // namespace lumora
