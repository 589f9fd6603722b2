#include "CatalogueC.h"

#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogueC()
{
    return {};
}

} // namespace lumora
