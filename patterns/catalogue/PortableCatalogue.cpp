#include "PortableCatalogue.h"

namespace lumora {

namespace {

const PortableHeader kHeaders[] = {
#include "PortableHeaders.inc"
};

// The name of each pattern class is its menu title; its functions are named after it.
const PortablePattern kPatterns[] = {
    {"Stars2", "Spots.h", "stars2Color", "", ""},
    {"Floor", "Scenes.h", "floorColor", "", ""},
    {"Lava", "Plasmas.h", "lavaColor", "", ""},
    {"Beams", "Bars.h", "beamsColor", "", ""},
    {"DoubleRings", "Rings.h", "doubleRingsColor", "", ""},
    {"Blobs", "Spots.h", "blobsColor", "blobsTerms", "BlobOffsets"},
    {"Oil", "Plasmas.h", "oilColor", "", ""},
    {"Field", "Sparks.h", "fieldColor", "fieldTerms", "SparkPlaces"},
    {"Klecks", "Spots.h", "klecksColor", "", ""},
    {"AcidTrip", "Rings.h", "acidTripColor", "", ""},
    {"QuasiCrystal", "Plasmas.h", "quasiCrystalColor", "", ""},
    {"Jelly", "Spirals.h", "jellyColor", "", ""},
    {"Heart", "Flowers.h", "heartColor", "", ""},
    {"StarField2", "Spirals.h", "starField2Color", "", ""},
    {"Rose", "Flowers.h", "roseColor", "", ""},
    {"Interference", "Rings.h", "interferenceColor", "", ""},
    {"Flower2", "Flowers.h", "flower2Color", "", ""},
    {"Tunnel2", "Scenes.h", "tunnel2Color", "", ""},
    {"WaveBars", "Bars.h", "waveBarsColor", "", ""},
    {"Spirale2", "Spirals.h", "spirale2Color", "", ""},
    {"GridPattern", "Plasmas.h", "gridPatternColor", "", ""},
    {"Leadlight", "Spirals.h", "leadlightColor", "", ""},
    {"Fiver", "Plasmas.h", "fiverColor", "", ""},
    {"Sweeplet", "Bars.h", "sweepletColor", "", ""},
    {"Bars", "Bars.h", "barsColor", "", ""},
    {"Wiggling", "Spirals.h", "wigglingColor", "", ""},
    {"Walkern", "Walkers.h", "walkernColor", "", ""},
    {"Ringel", "Rings.h", "ringelColor", "", ""},
    {"Clouds", "Plasmas.h", "cloudsColor", "", ""},
    {"DoubleSpirals", "Spirals.h", "doubleSpiralsColor", "", ""},
    {"Thingi", "Plasmas.h", "thingiColor", "", ""},
    {"Spotlight", "Spots.h", "spotlightColor", "", ""},
    {"Spirale4", "Spirals.h", "spirale4Color", "", ""},
    {"Rings", "Rings.h", "ringsColor", "", ""},
    {"Walker", "Walkers.h", "walkerColor", "", ""},
    {"Bubbles", "Spots.h", "bubblesColor", "", ""},
    {"Colors2", "Rings.h", "colors2Color", "", ""},
    {"Flower3", "Flowers.h", "flower3Color", "", ""},
    {"Upholstery", "Folds.h", "upholsteryColor", "", ""},
    {"Checkered", "Plasmas.h", "checkeredColor", "", ""},
    {"DualScan", "Bars.h", "dualScanColor", "", ""},
    {"Sinus", "Spots.h", "sinusColor", "sinusTerms", "SinusTerms"},
    {"RotatingBars", "Bars.h", "rotatingBarsColor", "", ""},
    {"Flower", "Flowers.h", "flowerColor", "", ""},
    {"Spirale3", "Spirals.h", "spirale3Color", "", ""},
    {"Grid", "Plasmas.h", "gridColor", "", ""},
    {"Hexagon", "Folds.h", "hexagonColor", "", ""},
    {"Eggs", "Spirals.h", "eggsColor", "", ""},
    {"Tunnel", "Scenes.h", "tunnelColor", "tunnelTerms", "TunnelScene"},
    {"Floating", "Sparks.h", "floatingColor", "floatingTerms", "SparkPlaces"},
    {"Lumora", "Rings.h", "lumoraColor", "", ""},
    {"Spirals", "Sparks.h", "spiralsColor", "spiralsTerms", "SparkPlaces"},
    {"Neon", "Scenes.h", "neonColor", "", ""},
    {"Hexagon2", "Folds.h", "hexagon2Color", "", ""},
    {"Walker10", "Walkers.h", "walker10Color", "", ""},
    {"Colors", "Rings.h", "colorsColor", "", ""},
    {"Psychedelic", "Rings.h", "psychedelicColor", "", ""},
    {"Wiggle", "Spirals.h", "wiggleColor", "", ""},
    {"Streifen", "Walkers.h", "streifenColor", "", ""},
    {"Glow", "Sparks.h", "glowColor", "glowTerms", "GlowSparks"},
    {"OilSpiral", "Plasmas.h", "oilSpiralColor", "oilSpiralTerms", "OilSpiralLayers"},
    {"Squiggle", "Rings.h", "squiggleColor", "", ""},
    {"Squares", "Plasmas.h", "squaresColor", "", ""},
};

} // namespace

std::span<const PortableHeader> portableHeaders()
{
    return kHeaders;
}

const PortableHeader *portableHeader(std::string_view name)
{
    for (const PortableHeader &header : kHeaders) {
        if (header.name == name)
            return &header;
    }
    return nullptr;
}

std::span<const PortablePattern> portablePatterns()
{
    return kPatterns;
}

const PortablePattern *portablePattern(std::string_view name)
{
    for (const PortablePattern &pattern : kPatterns) {
        if (pattern.name == name)
            return &pattern;
    }
    return nullptr;
}

std::vector<PortableHeader> portableHeadersFor(std::string_view name)
{
    const PortablePattern *pattern = portablePattern(name);
    if (!pattern)
        return {};
    return {*portableHeader("Portable.h"), *portableHeader(pattern->header)};
}

} // namespace lumora
