#pragma once

#include "Color.h"
#include "Functions.h"
#include "Position.h"

#include <span>
#include <string>
#include <string_view>

namespace lumora {

/// Base of every procedural colour pattern. A PatternRegistry owns one instance of each
/// pattern class; consumers read the four animation parameters and call
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

    /// Sent when the user picks the pattern; does nothing.
    void setup();
};

/// Declares the pattern's class name for name() and the menu.
#define LUMORA_PATTERN(ClassName) \
public:                           \
    std::string_view qualifiedName() const override { return "Lumora." #ClassName; }

} // namespace lumora
