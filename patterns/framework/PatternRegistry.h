#pragma once

#include "ColorPattern.h"

#include <memory>
#include <string_view>
#include <vector>

namespace lumora {

/// Makes one instance of a pattern class.
using PatternFactory = std::unique_ptr<ColorPattern> (*)();

template <class Pattern>
std::unique_ptr<ColorPattern> makePattern()
{
    return std::make_unique<Pattern>();
}

/// One instance of every pattern it is built from, sorted by name once, when it is built,
/// so that an index (the setting "status", the View menu's order) means the same in every
/// registry made from the same factories. Owned by whoever needs patterns: the application
/// for its whole run, a command of lumora-cli, a test or a benchmark.
class PatternRegistry {
public:
    PatternRegistry() = default;
    explicit PatternRegistry(const std::vector<PatternFactory> &factories);
    PatternRegistry(PatternRegistry &&) = default;
    PatternRegistry &operator=(PatternRegistry &&) = default;

    std::size_t size() const { return m_patterns.size(); }
    bool empty() const { return m_patterns.empty(); }
    /// The pattern at a registry index, or nullptr past the end.
    const ColorPattern *at(std::size_t index) const;
    ColorPattern *at(std::size_t index);
    /// The pattern named so, or nullptr.
    const ColorPattern *named(std::string_view name) const;
    /// The patterns in registry order.
    std::vector<const ColorPattern *> patterns() const;

private:
    std::vector<std::unique_ptr<ColorPattern>> m_patterns;
};

} // namespace lumora
