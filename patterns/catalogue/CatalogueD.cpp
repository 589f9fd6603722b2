#include "CatalogueD.h"

#include "Catalogue.h"

namespace lumora {

std::vector<PatternFactory> catalogueD()
{
    return {};
}

} // namespace lumora
