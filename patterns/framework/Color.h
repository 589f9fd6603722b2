#pragma once

namespace lumora {

/// A pattern's answer: three components nominally in 0..1. Nothing here clamps;
/// consumers limit each component when they turn it into a display colour or bytes.
struct Color {
    double r = 0;
    double g = 0;
    double b = 0;

    Color() = default;
    /// initWithR:g:b: — stores the components as given, except that a NaN becomes 0.
    Color(double red, double green, double blue);

    /// initWithHue:saturation:value: — hue in degrees (wrapped), saturation and value
    /// on a 0..255 scale (limited to it). A hue that cannot be placed gives black.
    static Color fromHsv(double hue, double saturation, double value);

    /// A new colour of unit Euclidean length; black stays black.
    Color normalize() const;
};

Color operator*(const Color &c, double k);
Color operator+(const Color &c, double k);

} // namespace lumora
