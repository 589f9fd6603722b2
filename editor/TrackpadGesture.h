#pragma once

namespace lumora {

/// A trackpad pinch read as a whole: its rotation and magnification summed over the
/// gesture, and at its end what it does.
class TrackpadGesture {
public:
    enum class Gesture { None, RotateClockwise, RotateCounterClockwise, Fit, FitHalf };
    /// What a whole pinch does, from its accumulated readings (rotation in degrees,
    /// clockwise positive, as Qt reports it; magnification as a relative change): the
    /// reading furthest past its threshold (15°, 0.1) wins; below both, nothing.
    static Gesture decideGesture(double clockwiseDegrees, double magnification);

    void restart() { m_rotation = m_magnification = 0; }
    /// Steps of a native gesture.
    void rotateBy(double degrees) { m_rotation += degrees; }
    void magnifyBy(double change) { m_magnification += change; }
    /// A pinch's totals so far.
    void setTotals(double degrees, double magnification)
    {
        m_rotation = degrees;
        m_magnification = magnification;
    }
    /// What the readings so far decide; starts afresh.
    Gesture finish();

private:
    double m_rotation = 0;
    double m_magnification = 0;
};

} // namespace lumora
