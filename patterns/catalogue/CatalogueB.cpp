#include "CatalogueB.h"

#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogueB()
{
    return {};
}

} // namespace lumora
