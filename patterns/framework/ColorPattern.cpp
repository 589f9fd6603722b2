#include "ColorPattern.h"

#include "../catalogue/Catalogue.h"

#include <algorithm>
#include <mutex>

namespace lumora {

namespace {
std::vector<std::unique_ptr<ColorPattern>> &registry()
{
    static std::vector<std::unique_ptr<ColorPattern>> instances;
    return instances;
}
} // namespace

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

void ColorPattern::sortNames()
{
    auto &all = registry();
    // Byte-wise comparison: a name that is a prefix of another comes first.
    std::stable_sort(all.begin(), all.end(),
                     [](const auto &a, const auto &b) { return a->name() < b->name(); });
}

void ColorPattern::setup()
{
}

std::vector<ColorPattern *> ColorPattern::patterns()
{
    std::vector<ColorPattern *> list;
    list.reserve(registry().size());
    for (const auto &pattern : registry())
        list.push_back(pattern.get());
    return list;
}

void ColorPattern::addInstances()
{
    // The catalogue is a static table of factories; building the registry twice would
    // list every pattern twice, so later calls do nothing.
    static std::once_flag once;
    std::call_once(once, [] {
        for (const PatternFactory &make : catalogue())
            append(make());
    });
}

ColorPattern *ColorPattern::named(std::string_view name)
{
    for (const auto &pattern : registry())
        if (pattern->name() == name)
            return pattern.get();
    return nullptr;
}

void ColorPattern::append(std::unique_ptr<ColorPattern> pattern)
{
    registry().push_back(std::move(pattern));
}

} // namespace lumora
