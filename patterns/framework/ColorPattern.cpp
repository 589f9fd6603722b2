#include "ColorPattern.h"


namespace lumora {

ColorPattern::ColorPattern()
    : s0(0.1), s1(0.05), r1(PI + PI), speed(0.02)
{
}

Color ColorPattern::color(const Position &) const
{
    return Color(1, 0, 1);
}

void ColorPattern::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    for (std::size_t k = 0; k < positions.size(); ++k) {
        Position position = positions[k];
        position.time = time;
        out[k] = color(position);
    }
}

void ColorPattern::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    colors(time, positions, out);
}

std::string_view ColorPattern::qualifiedName() const
{
    return "Lumora.ColorPattern";
}

std::string ColorPattern::name() const
{
    const std::string_view qualified = qualifiedName();
    const auto dot = qualified.rfind('.');
    return std::string(dot == std::string_view::npos ? qualified : qualified.substr(dot + 1));
}

void ColorPattern::setup()
{
}

} // namespace lumora
