#pragma once

#include "Color.h"
#include "Functions.h"
#include "Position.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

/// Base of every procedural colour pattern. The registry owns exactly one instance of each
/// pattern class for the whole run; consumers read the four animation parameters and call
/// color() once per LED and frame, or colors() once per frame. Both are const: patterns are
/// pure functions of the Position, which lets renderers evaluate LEDs and frames on several
/// threads.
class ColorPattern {
public:
    ColorPattern();
    virtual ~ColorPattern() = default;
    ColorPattern(const ColorPattern &) = delete;
    ColorPattern &operator=(const ColorPattern &) = delete;

    double s0;    ///< base factor on the LED's grid coordinates
    double s1;    ///< amplitude of the slow breathing of that factor
    double r1;    ///< amplitude of the slow rotation, radians
    double speed; ///< Position.time = speed · T

    /// The base answer is magenta everywhere; every pattern overrides it.
    virtual Color color(const Position &position) const;

    /// Colours a whole frame: out[k] is color() of positions[k] with its time replaced by
    /// `time`, to the last bit. The default calls color() per position; heavy patterns
    /// override it to work out once per frame what does not depend on the LED. out must be
    /// at least as long as positions.
    virtual void colors(double time, std::span<const Position> positions, std::span<Color> out) const;

    /// Like colors(), but for the live preview only: may use vectorised approximations of
    /// the transcendental functions, within 1e-9 of colors() per component. Nothing that is
    /// written to a file uses it unless asked to. The default is colors().
    virtual void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const;

    /// "Lumora.<ClassName>"; the macro LUMORA_PATTERN supplies it.
    virtual std::string_view qualifiedName() const;
    /// The qualified name after its last full stop: the menu title.
    std::string name() const;

    /// Sorts the shared registry by name (any instance may be asked).
    void sortNames();
    /// Sent when the user picks the pattern; does nothing.
    void setup();

    /// A fresh list of the registry's instances, in registry order.
    static std::vector<ColorPattern *> patterns();
    /// Creates one instance of Pattern and appends it to the registry.
    template <class Pattern>
    static void addInstance() { append(std::make_unique<Pattern>()); }
    /// Adds one instance of every pattern class of the catalogue, once per process.
    static void addInstances();

    /// The registry entry named so, or nullptr.
    static ColorPattern *named(std::string_view name);

private:
    static void append(std::unique_ptr<ColorPattern> pattern);
};

/// Declares the pattern's class name for name() and the menu.
#define LUMORA_PATTERN(ClassName) \
public:                           \
    std::string_view qualifiedName() const override { return "Lumora." #ClassName; }

} // namespace lumora
