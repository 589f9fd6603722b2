#include "PatternRegistry.h"

#include <algorithm>

namespace lumora {

PatternRegistry::PatternRegistry(const std::vector<PatternFactory> &factories)
{
    m_patterns.reserve(factories.size());
    for (const PatternFactory make : factories)
        m_patterns.push_back(make());
    // Byte-wise comparison: a name that is a prefix of another comes first. Stable, so equal
    // names (none today) would keep the factories' order.
    std::stable_sort(m_patterns.begin(), m_patterns.end(),
                     [](const auto &a, const auto &b) { return a->name() < b->name(); });
}

const ColorPattern *PatternRegistry::at(std::size_t index) const
{
    return index < m_patterns.size() ? m_patterns[index].get() : nullptr;
}

ColorPattern *PatternRegistry::at(std::size_t index)
{
    return index < m_patterns.size() ? m_patterns[index].get() : nullptr;
}

const ColorPattern *PatternRegistry::named(std::string_view name) const
{
    for (const auto &pattern : m_patterns)
        if (pattern->name() == name)
            return pattern.get();
    return nullptr;
}

std::vector<const ColorPattern *> PatternRegistry::patterns() const
{
    std::vector<const ColorPattern *> list;
    list.reserve(m_patterns.size());
    for (const auto &pattern : m_patterns)
        list.push_back(pattern.get());
    return list;
}

} // namespace lumora
