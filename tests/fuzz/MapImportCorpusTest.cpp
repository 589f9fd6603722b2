#include "CorpusReplay.h"

#include "fuzz/MapImportFuzzEntry.h"

// Replays the LED map importers' minimised fuzzing corpus through the fuzzer's own entry
// point: nothing may crash, and every map that imports must land finite and inside the
// layout space.
TEST(MapImportCorpus, EveryInputImportsWithoutHarmInsideTheLayout)
{
    EXPECT_GT(replayCorpus("map-corpus", lumora::importMapFuzzInput), 5);
}
