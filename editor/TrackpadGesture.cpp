#include "TrackpadGesture.h"

#include <cmath>

namespace lumora {

TrackpadGesture::Gesture TrackpadGesture::decideGesture(double clockwiseDegrees, double magnification)
{
    const double turn = std::abs(clockwiseDegrees) / 15.0;
    const double zoom = std::abs(magnification) / 0.1;
    if (turn < 1 && zoom < 1)
        return Gesture::None;
    if (turn >= zoom)
        return clockwiseDegrees > 0 ? Gesture::RotateClockwise : Gesture::RotateCounterClockwise;
    return magnification > 0 ? Gesture::Fit : Gesture::FitHalf;
}

TrackpadGesture::Gesture TrackpadGesture::finish()
{
    const Gesture gesture = decideGesture(m_rotation, m_magnification);
    restart();
    return gesture;
}

} // namespace lumora
