#include "OutputSketchSettings.h"

namespace lumora {

SketchSettings sketchSettings(const OutputSettings &output)
{
    const OutputSettings o = output.clamped();
    SketchSettings s;
    s.colorOrder = colorOrderName(o.order);
    s.channels = colorOrderChannels(o.order);
    s.brightness = o.brightness;
    s.gamma = o.gamma;
    s.limitMilliamps = o.limitMilliamps;
    s.milliampsPerChannel = o.power.milliampsPerChannel;
    s.idleMilliampsPerLed = o.power.idleMilliampsPerLed;
    return s;
}

} // namespace lumora
