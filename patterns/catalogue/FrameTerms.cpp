#include "FrameTerms.h"

#include "DoubleMath.h"

namespace lumora {

SparkPlaces sparkPlaces(double tt)
{
    return portable::sparkPlaces<double, DoubleMath>(tt);
}

GlowSparks glowSparks(double tt)
{
    return portable::glowSparks<double, DoubleMath>(tt);
}

OilSpiralLayers oilSpiralLayers(double t)
{
    return portable::oilSpiralTerms<double, DoubleMath>(t);
}

} // namespace lumora
