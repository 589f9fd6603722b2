#pragma once

#include "Color.h"
#include "Functions.h"
#include "Position.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

/// Base of every procedural colour pattern. The registry owns exactly one instance of each
/// pattern class for the whole run; consumers read the four animation parameters and call
/// color() once per LED and frame. color() is const: patterns are pure functions of the
/// Position, which lets renderers evaluate LEDs and frames on several threads.
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
