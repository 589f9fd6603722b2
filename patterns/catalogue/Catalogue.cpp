#include "Catalogue.h"

#include "BarPatterns.h"
#include "FlowerPatterns.h"
#include "FoldPatterns.h"
#include "ImagePattern.h"
#include "PlasmaPatterns.h"
#include "RingPatterns.h"
#include "ScenePatterns.h"
#include "SparkPatterns.h"
#include "SpiralPatterns.h"
#include "SpotPatterns.h"
#include "WalkerPatterns.h"

namespace lumora {

std::vector<PatternFactory> catalogue()
{
    // In the order the patterns were first listed; the registry sorts its own copy.
    return {
        makePattern<Stars2>,
        makePattern<Floor>,
        makePattern<Lava>,
        makePattern<Beams>,
        makePattern<DoubleRings>,
        makePattern<Blobs>,
        makePattern<Oil>,
        makePattern<Field>,
        makePattern<Klecks>,
        makePattern<AcidTrip>,
        makePattern<QuasiCrystal>,
        makePattern<Jelly>,
        makePattern<Heart>,
        makePattern<StarField2>,
        makePattern<Rose>,
        makePattern<Interference>,
        makePattern<Flower2>,
        makePattern<Tunnel2>,
        makePattern<WaveBars>,
        makePattern<Spirale2>,
        makePattern<GridPattern>,
        makePattern<Leadlight>,
        makePattern<Fiver>,
        makePattern<Sweeplet>,
        makePattern<Bars>,
        makePattern<Wiggling>,
        makePattern<Walkern>,
        makePattern<Ringel>,
        makePattern<Clouds>,
        makePattern<DoubleSpirals>,
        makePattern<Thingi>,
        makePattern<Spotlight>,
        makePattern<Spirale4>,
        makePattern<Rings>,
        makePattern<Walker>,
        makePattern<Bubbles>,
        makePattern<Colors2>,
        makePattern<Flower3>,
        makePattern<Upholstery>,
        makePattern<Checkered>,
        makePattern<DualScan>,
        makePattern<Sinus>,
        makePattern<RotatingBars>,
        makePattern<Flower>,
        makePattern<Spirale3>,
        makePattern<Grid>,
        makePattern<Hexagon>,
        makePattern<Eggs>,
        makePattern<Tunnel>,
        makePattern<Floating>,
        makePattern<Lumora>,
        makePattern<Spirals>,
        makePattern<Neon>,
        makePattern<Hexagon2>,
        makePattern<Walker10>,
        makePattern<Colors>,
        makePattern<Image>,
        makePattern<Psychedelic>,
        makePattern<Wiggle>,
        makePattern<Streifen>,
        makePattern<Glow>,
        makePattern<OilSpiral>,
        makePattern<Squiggle>,
        makePattern<Squares>,
    };
}

PatternRegistry builtInPatterns()
{
    return PatternRegistry(catalogue());
}

} // namespace lumora
