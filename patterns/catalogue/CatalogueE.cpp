#include "CatalogueE.h"

#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogueE()
{
    return {};
}

} // namespace lumora
