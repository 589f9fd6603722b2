#include "CatalogueF.h"

#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogueF()
{
    return {};
}

} // namespace lumora
