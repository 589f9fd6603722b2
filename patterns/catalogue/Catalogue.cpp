#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogue()
{
    std::vector<PatternFactory> all;
    for (auto group : {catalogueA, catalogueB, catalogueC, catalogueD, catalogueE, catalogueF}) {
        const auto factories = group();
        all.insert(all.end(), factories.begin(), factories.end());
    }
    return all;
}

PatternRegistry builtInPatterns()
{
    return PatternRegistry(catalogue());
}

} // namespace lumora
