#include "FrameColors.h"

#include <algorithm>
#include <cmath>

namespace lumora {

double frameMilliamps(QByteArrayView rgb, const PowerModel &model)
{
    quint64 levels = 0;
    for (char byte : rgb)
        levels += static_cast<unsigned char>(byte);
    return (rgb.size() / 3) * model.idleMilliampsPerLed + levels * (model.milliampsPerChannel / 255.0);
}

std::array<unsigned char, 256> levelTable(int brightness, double gamma)
{
    std::array<unsigned char, 256> table{};
    const double factor = std::clamp(brightness, 0, 100) / 100.0;
    for (int level = 0; level < 256; ++level) {
        const double value = 255.0 * std::pow(level / 255.0, gamma) * factor;
        table[level] = static_cast<unsigned char>(std::clamp(std::lround(value), 0L, 255L));
    }
    return table;
}

void limitCurrent(QByteArray &rgb, double limitMilliamps, const PowerModel &model)
{
    if (limitMilliamps <= 0)
        return;
    const double total = frameMilliamps(rgb, model);
    if (total <= limitMilliamps)
        return;
    const double idle = (rgb.size() / 3) * model.idleMilliampsPerLed;
    const double lit = total - idle;
    // Rounding down keeps the scaled frame within the limit.
    const double factor = lit > 0 ? std::max(0.0, limitMilliamps - idle) / lit : 0;
    for (char &byte : rgb)
        byte = static_cast<char>(static_cast<int>(std::floor(static_cast<unsigned char>(byte) * factor)));
}

void reorderColors(QByteArray &rgb, ColorOrder order)
{
    if (order == ColorOrder::RGB)
        return;
    const auto channels = colorOrderChannels(order);
    char *data = rgb.data();
    for (qsizetype i = 0; i + 2 < rgb.size(); i += 3) {
        const char source[3] = {data[i], data[i + 1], data[i + 2]};
        for (int c = 0; c < 3; ++c)
            data[i + c] = source[channels[c]];
    }
}

QByteArray outputFrame(const QByteArray &rgb, const OutputSettings &settings, double *milliamps)
{
    QByteArray out = rgb;
    if (settings.brightness != 100 || settings.gamma != 1.0) {
        const auto table = levelTable(settings.brightness, settings.gamma);
        for (char &byte : out)
            byte = static_cast<char>(table[static_cast<unsigned char>(byte)]);
    }
    limitCurrent(out, settings.limitMilliamps, settings.power);
    if (milliamps)
        *milliamps = frameMilliamps(out, settings.power);
    reorderColors(out, settings.order);
    return out;
}

PowerEstimate estimatePower(const QByteArray &frames, qsizetype leds, const PowerModel &model)
{
    PowerEstimate estimate;
    const qsizetype frameBytes = 3 * leds;
    const qsizetype count = frameBytes > 0 ? frames.size() / frameBytes : 0;
    if (count == 0)
        return estimate;
    double sum = 0;
    for (qsizetype f = 0; f < count; ++f) {
        const double current = frameMilliamps(QByteArrayView(frames).sliced(f * frameBytes, frameBytes), model);
        sum += current;
        if (current > estimate.peakMilliamps) {
            estimate.peakMilliamps = current;
            estimate.peakFrame = f;
        }
    }
    estimate.meanMilliamps = sum / count;
    return estimate;
}

} // namespace lumora
